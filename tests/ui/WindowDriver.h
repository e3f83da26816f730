#pragma once
// Drives the real program from outside, the way Wine's own user32 tests do:
// start it, find its windows, read them, click, answer message boxes.

#include <windows.h>

#include <string>
#include <vector>

namespace quorvale::test {

inline constexpr const char* kMarkedTitle = "[_ Quorvale 2000 _| ";
inline constexpr const char* kCaption = "[_ Quorvale 2000 _|";

class AppProcess {
public:
    AppProcess();   // starts the program
    ~AppProcess();  // ends it if it is still running
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    DWORD Id() const { return info_.dwProcessId; }
    bool WaitForExit(DWORD milliseconds, DWORD* exitCode = nullptr) const;
    bool Running() const { return !WaitForExit(0); }
    // The program's top-level window with this exact title, waited for.
    HWND WaitForWindow(const char* className, const char* title, DWORD milliseconds = 10000) const;
    std::vector<HWND> TopLevelWindows() const;

private:
    PROCESS_INFORMATION info_{};
};

struct MessageBoxView {
    std::string title;
    std::string text;
    int buttons = 0;
    bool icon = false;
};

std::string TextOf(HWND window);
std::string ClassOf(HWND window);
MessageBoxView ReadMessageBox(HWND box);
void PressOk(HWND box);
HWND ChildWithText(HWND parent, const std::string& text);
RECT ClientRectIn(HWND parent, HWND child);
HWND FocusOf(HWND window);
// Keys sent through the system's input queue to the foreground window.
void PressKeys(std::initializer_list<WORD> keys);

// The window's client area as shown on screen, row by row.
struct Screenshot {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;  // as GetPixel gives them: 0x00BBGGRR
    COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    int Count(RECT area, COLORREF color) const;
    bool SaveBmp(const std::string& path) const;
};
Screenshot CaptureClient(HWND window);

}  // namespace quorvale::test
