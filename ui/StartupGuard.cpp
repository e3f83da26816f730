#include "ui/StartupGuard.h"

namespace quorvale::ui {
namespace {

constexpr const wchar_t* kInstanceMutexName = L"Local\\Quorvale2000SpanishLanguagePatch";

// The title as an 8-bit string in the system's code page, as FindWindowA takes it.
std::string Narrow(const std::wstring& text) {
    int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(narrow.size() - 1);
    return narrow;
}

bool MarkedWindowExists(const std::wstring& caption) {
    return FindWindowA(nullptr, Narrow(MarkedTitle(caption)).c_str()) != nullptr;
}

}  // namespace

std::wstring MarkedTitle(const std::wstring& caption) {
    return caption + L" ";
}

StartupGuard::~StartupGuard() {
    if (instanceMutex_ != nullptr) {
        ReleaseMutex(instanceMutex_);
        CloseHandle(instanceMutex_);
    }
}

bool StartupGuard::PassAndMark(HWND window, const std::wstring& caption) {
    if (MarkedWindowExists(caption)) return false;
    instanceMutex_ = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
    if (instanceMutex_ != nullptr) {
        DWORD wait = WaitForSingleObject(instanceMutex_, 0);
        // An abandoned mutex belonged to a copy that has ended: ours now.
        if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
            CloseHandle(instanceMutex_);
            instanceMutex_ = nullptr;
            return false;
        }
    }
    SetWindowTextW(window, MarkedTitle(caption).c_str());
    return true;
}

}  // namespace quorvale::ui
