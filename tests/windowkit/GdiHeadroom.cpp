#include "GdiHeadroom.h"

#include <windows.h>

#include <vector>

namespace zltest {

int GdiHeadroom(int limit) {
    std::vector<HRGN> made;
    made.reserve(static_cast<size_t>(limit > 0 ? limit : 0));
    while (static_cast<int>(made.size()) < limit) {
        HRGN r = CreateRectRgn(0, 0, 1, 1);
        if (!r) break;
        made.push_back(r);
    }
    for (HRGN r : made) DeleteObject(r);
    return static_cast<int>(made.size());
}

}  // namespace zltest
