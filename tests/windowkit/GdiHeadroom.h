// How many more GDI objects this process can create. GetGuiResources reports 0 under
// Wine, so a leak is caught by the headroom shrinking instead.
#pragma once

namespace zltest {

// Creates small regions until creation fails or `limit` is reached, frees them all and
// returns how many were made.
int GdiHeadroom(int limit = 200000);

}  // namespace zltest
