// The Chinese/English state shared by every text-service instance of the Windows
// session, 64-bit and 32-bit alike: 12 bytes named Local\ZelunWubiCN_v1.
#pragma once

#include <windows.h>

namespace zl {

struct ChineseStateBlock {
    volatile LONG magic;     // kChineseBlockMagic once any instance mapped it
    volatile LONG state;     // 0 not set, 1 Chinese, 2 English; anything else counts as not set
    volatile LONG reserved;  // never touched
};
static_assert(sizeof(ChineseStateBlock) == 12, "the block's layout is shared across builds");

constexpr LONG kChineseBlockMagic = 0x5A4C4E42;  // "ZLNB"
constexpr wchar_t kChineseBlockName[] = L"Local\\ZelunWubiCN_v1";
constexpr LONG kStateChinese = 1;
constexpr LONG kStateEnglish = 2;

// Creates or opens the block with a null DACL (any process of the session may open it)
// and stamps the magic once. On failure both outputs are null.
bool MapChineseStateBlock(HANDLE* mapping, ChineseStateBlock** block);
// Unmaps the view and closes the mapping when set; clears both.
void UnmapChineseStateBlock(HANDLE* mapping, ChineseStateBlock** block);

// Every word goes through interlocked operations; a read is a compare-exchange of 0 by 0.
inline LONG ReadSharedState(ChineseStateBlock* b) {
    return InterlockedCompareExchange(&b->state, 0, 0);
}
inline void WriteSharedState(ChineseStateBlock* b, bool chinese) {
    InterlockedExchange(&b->state, chinese ? kStateChinese : kStateEnglish);
}
inline bool IsValidSharedState(LONG s) { return s == kStateChinese || s == kStateEnglish; }

}  // namespace zl
