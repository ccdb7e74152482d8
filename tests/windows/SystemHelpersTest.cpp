#include <gtest/gtest.h>

#include <windows.h>

#include <cwctype>
#include <string>

#include "SystemLibrary.h"
#include "TempDir.h"
#include "Theme.h"
#include "ThemeOverride.h"
#include "WindowClass.h"

namespace {

// Work that runs out of memory on a posted-style message and on every paint.
LRESULT CALLBACK ThrowingWork(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_APP || msg == WM_PAINT) throw std::bad_alloc();
    return DefWindowProcW(window, msg, wp, lp);
}

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(towlower(c));
    return s;
}

std::wstring FolderOf(HMODULE m) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(m, path, MAX_PATH);
    std::wstring p = path;
    return Lower(p.substr(0, p.find_last_of(L'\\')));
}

TEST(SystemLibrary, LoadsFromTheSystemFolder) {
    zl::SystemLibrary dwm(L"dwmapi.dll");
    ASSERT_TRUE(dwm.Loaded());
    EXPECT_NE(nullptr, dwm.Proc<FARPROC>("DwmIsCompositionEnabled"));
    EXPECT_EQ(nullptr, dwm.Proc<FARPROC>("NoSuchExport"));
    wchar_t sys[MAX_PATH] = {};
    GetSystemDirectoryW(sys, MAX_PATH);
    wchar_t wow[MAX_PATH] = {};
    GetSystemWow64DirectoryW(wow, MAX_PATH);
    const std::wstring folder = FolderOf(dwm.Get());
    EXPECT_TRUE(folder == Lower(sys) || folder == Lower(wow)) << std::string(folder.begin(), folder.end());
    zl::SystemLibrary ux(L"uxtheme.dll");
    EXPECT_TRUE(ux.Loaded());
}

TEST(SystemLibrary, IgnoresTheCurrentFolderAndRefusesPaths) {
    // A planted DLL in the current folder: the search path would find it, the system folder does not.
    zltest::TempDir dir;
    const std::wstring planted = dir.Path() + L"\\zlplanted.dll";
    ASSERT_TRUE(zltest::WriteBytes(planted, "not a dll"));
    wchar_t old[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, old);
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    zl::SystemLibrary lib(L"zlplanted.dll");
    const bool loaded = lib.Loaded();
    SetLastError(0);
    HMODULE bare = LoadLibraryW(L"zlplanted.dll");
    const DWORD bareError = GetLastError();
    SetCurrentDirectoryW(old);
    EXPECT_FALSE(loaded);
    EXPECT_EQ(nullptr, bare);
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_EXE_FORMAT), bareError) << "the bare name did reach the planted file";

    EXPECT_FALSE(zl::SystemLibrary(L"").Loaded());
    EXPECT_FALSE(zl::SystemLibrary(nullptr).Loaded());
    EXPECT_FALSE(zl::SystemLibrary(L"..\\system32\\dwmapi.dll").Loaded());
    EXPECT_FALSE(zl::SystemLibrary(L"C:dwmapi.dll").Loaded());
    EXPECT_FALSE(zl::SystemLibrary(L"C:\\windows\\system32\\dwmapi.dll").Loaded());
}

TEST(SystemLibrary, CompositionProbeAnswersWithoutCrashing) {
    const bool first = zl::IsCompositionAvailable();
    EXPECT_EQ(first, zl::IsCompositionAvailable());
}

TEST(Theme, ReadsTheValueOrTheFallback) {
    zltest::ThemeOverride theme;
    ASSERT_TRUE(theme.Valid());
    EXPECT_EQ(7u, zl::ReadAppsUseLightTheme(7));
    ASSERT_TRUE(theme.SetLightTheme(0));
    EXPECT_EQ(0u, zl::ReadAppsUseLightTheme(1));
    ASSERT_TRUE(theme.SetLightTheme(1));
    EXPECT_EQ(1u, zl::ReadAppsUseLightTheme(0));
    ASSERT_TRUE(theme.SetLightThemeText(L"0"));
    EXPECT_EQ(1u, zl::ReadAppsUseLightTheme(1));
}

}  // namespace

TEST(WindowProcedure, WhatItsWorkThrowsEndsThereAndThePaintIsValidated) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    zl::RegisterPopupClass(instance, L"ZlThrowingWork", zl::NoThrowWndProc<ThrowingWork>);
    HWND window = CreateWindowExW(0, L"ZlThrowingWork", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, instance, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageW(window, WM_APP, 0, 0), 0);
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)) << "a paint whose work failed must not come back";
    DestroyWindow(window);
}
