#include "HttpRequest.h"

#include "NumberParse.h"

namespace zl {

bool HttpRequest::Init(DWORD accessType, DWORD connectMs, DWORD sendMs, DWORD receiveMs,
                       std::wstring* err) {
    Close();
    inet_ = InternetOpenW(kUserAgent, accessType, nullptr, nullptr, 0);
    if (!inet_) {
        *err = L"无法初始化网络组件";
        return false;
    }
    const struct {
        DWORD option;
        DWORD ms;
    } kTimeouts[] = {{INTERNET_OPTION_CONNECT_TIMEOUT, connectMs},
                     {INTERNET_OPTION_SEND_TIMEOUT, sendMs},
                     {INTERNET_OPTION_RECEIVE_TIMEOUT, receiveMs}};
    for (const auto& t : kTimeouts) {
        if (t.ms == 0) continue;
        DWORD ms = t.ms;
        InternetSetOptionW(inet_, t.option, &ms, sizeof ms);
    }
    return true;
}

bool HttpRequest::Open(const std::wstring& address, const wchar_t* failText, std::wstring* err) {
    url_ = InternetOpenUrlW(inet_, address.c_str(), nullptr, 0, kRequestFlags, 0);
    if (!url_) {
        *err = failText;
        return false;
    }
    return true;
}

bool HttpRequest::CheckStatus(std::wstring* err) {
    DWORD status = 0;
    DWORD len = sizeof status;
    if (!HttpQueryInfoW(url_, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &len,
                        nullptr)) {
        status = 0;
    }
    if (status == 0 || status == 200) return true;
    *err = L"更新服务器返回 HTTP " + std::to_wstring(status);
    return false;
}

int HttpRequest::ContentLength(uint64_t* len) {
    wchar_t text[64];
    DWORD size = sizeof text;
    if (!HttpQueryInfoW(url_, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return 0;
    size_t n = size / sizeof(wchar_t);
    if (n >= 64) n = 63;
    text[n] = L'\0';
    const std::wstring s(text);
    if (s.find_first_of(L"0123456789") == std::wstring::npos) return 0;
    return ParseUnsigned(s, 10, UINT64_MAX, len) ? 1 : -1;
}

bool HttpRequest::LastModified(FILETIME* t) {
    SYSTEMTIME st;
    DWORD len = sizeof st;
    if (!HttpQueryInfoW(url_, HTTP_QUERY_LAST_MODIFIED | HTTP_QUERY_FLAG_SYSTEMTIME, &st, &len,
                        nullptr)) {
        return false;
    }
    return SystemTimeToFileTime(&st, t) != 0;
}

bool HttpRequest::Read(void* buf, DWORD size, DWORD* got) {
    *got = 0;
    return InternetReadFile(url_, buf, size, got) != 0;
}

void HttpRequest::Close() {
    if (url_) InternetCloseHandle(url_);
    if (inet_) InternetCloseHandle(inet_);
    url_ = nullptr;
    inet_ = nullptr;
}

}  // namespace zl
