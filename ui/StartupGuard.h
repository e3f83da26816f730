#pragma once
// Refuses a second copy of the program while the first one's window is open.
//
// A copy that passes marks its window's caption with one trailing blank; a
// later copy looks for a top-level window with exactly that marked title. A
// named mutex, held for the life of the window, closes the gap between one
// copy's look and its marking, so two copies started together cannot both pass.

#include <windows.h>

#include <string>

namespace quorvale::ui {

class StartupGuard {
public:
    StartupGuard() = default;
    ~StartupGuard();
    StartupGuard(const StartupGuard&) = delete;
    StartupGuard& operator=(const StartupGuard&) = delete;

    // True when this copy may run; then `window` takes the marked caption.
    bool PassAndMark(HWND window, const std::wstring& caption);

private:
    HANDLE instanceMutex_ = nullptr;
};

std::wstring MarkedTitle(const std::wstring& caption);

}  // namespace quorvale::ui
