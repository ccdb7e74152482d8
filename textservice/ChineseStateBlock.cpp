#include "ChineseStateBlock.h"

namespace zl {

bool MapChineseStateBlock(HANDLE* mapping, ChineseStateBlock** block) {
    *mapping = nullptr;
    *block = nullptr;
    SECURITY_DESCRIPTOR sd;
    if (!InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION)) return false;
    if (!SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE)) return false;
    SECURITY_ATTRIBUTES sa = {sizeof sa, &sd, FALSE};
    HANDLE m = CreateFileMappingW(INVALID_HANDLE_VALUE, &sa, PAGE_READWRITE, 0,
                                  sizeof(ChineseStateBlock), kChineseBlockName);
    if (!m) return false;
    void* view = MapViewOfFile(m, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ChineseStateBlock));
    if (!view) {
        CloseHandle(m);
        return false;
    }
    auto* b = static_cast<ChineseStateBlock*>(view);
    InterlockedCompareExchange(&b->magic, kChineseBlockMagic, 0);
    *mapping = m;
    *block = b;
    return true;
}

void UnmapChineseStateBlock(HANDLE* mapping, ChineseStateBlock** block) {
    if (*block) UnmapViewOfFile(const_cast<ChineseStateBlock*>(*block));
    if (*mapping) CloseHandle(*mapping);
    *mapping = nullptr;
    *block = nullptr;
}

}  // namespace zl
