#include "UpdateCheck.h"

#include <objbase.h>

#include "Fetch.h"
#include "Seams.h"
#include "Version.h"

namespace zl {

namespace {

constexpr UINT kBoxFlags = MB_ICONINFORMATION | MB_TOPMOST;

void RunCheck(const UpdateRequest& req) {
    UpdateInfo info;
    std::wstring err;
    const bool fetched = FetchUpdateInfo(req.address, &info, &err);
    const std::wstring current = DiskVersionIn(req.installDir);
    if (!fetched) {
        // A failed fetch ends the check: there is nothing to compare.
        if (req.manual) {
            const std::wstring text =
                L"检查更新失败：\n" + err + L"\n\n可以到设置里确认“更新地址”，或稍后再试。";
            TheSeams().messageBox(nullptr, text.c_str(), L"泽仑五笔", MB_ICONWARNING | MB_TOPMOST);
        }
        return;
    }
    if (CompareVersion(info.version, current) > 0) {
        const std::wstring text = UpdateOfferText(info, current);
        if (TheSeams().messageBox(nullptr, text.c_str(), L"发现新版本", MB_YESNO | kBoxFlags) != IDYES) return;
        if (!LaunchUpdaterIn(req.installDir)) {
            const std::wstring page = DownloadAddress(info, req.address);
            if (!page.empty()) {
                TheSeams().shellExecute(L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
            }
        }
        return;
    }
    if (req.manual) {
        const std::wstring text = L"当前已是最新版本（v" + current + L"）。";
        TheSeams().messageBox(nullptr, text.c_str(), L"泽仑五笔", kBoxFlags);
    }
}

}  // namespace

bool LaunchUpdaterIn(const std::wstring& folder) {
    if (folder.empty()) return false;
    const std::wstring exe = folder + L"\\zlupd.exe";
    if (GetFileAttributesW(exe.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    return TheSeams().shellExecute(L"open", exe.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL) > 32;
}

DWORD WINAPI UpdateWorkerProc(LPVOID param) {
    UpdateRequest* req = static_cast<UpdateRequest*>(param);
    if (!req) return 0;
    // The shell may hand the address to COM objects: this thread needs an apartment.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    try {
        RunCheck(*req);
    } catch (...) {
        // Nothing may leave the thread; a check that ran out of memory just ends.
    }
    if (SUCCEEDED(com)) CoUninitialize();
    delete req;
    return 0;
}

bool StartUpdateWorker(UpdateRequest* request) {
    if (!request) return false;
    HANDLE thread = CreateThread(nullptr, 0, UpdateWorkerProc, request, 0, nullptr);
    if (!thread) {
        delete request;
        return false;
    }
    CloseHandle(thread);
    return true;
}

}  // namespace zl
