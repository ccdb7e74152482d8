#include "Config.h"

namespace zl {

const std::wstring& DefaultUpdateUrl() {
    static const std::wstring url = std::wstring(L"http://") + ZL_UPDATE_HOST + L"/downloads/update/";
    return url;
}

}  // namespace zl
