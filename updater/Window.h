// The updater's main window and its worker thread.
#pragma once

#include <windows.h>

namespace zl {

constexpr wchar_t kUpdClass[] = L"ZlUpdMain";
constexpr wchar_t kUpdTitle[] = L"泽仑五笔输入法 - 增量更新";

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Starts the check (true) or the update (false) unless a worker runs.
void StartWorker(bool check);

}  // namespace zl
