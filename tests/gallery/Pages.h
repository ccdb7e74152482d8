// One function per window; GalleryMain.cpp calls each in turn.
#pragma once

#include "Gallery.h"

namespace zlgallery {

void AddCandidatePages(Gallery& g);
void AddStatusBarPages(Gallery& g);
void AddSymbolPages(Gallery& g);
void AddDemoPages(Gallery& g);

}  // namespace zlgallery
