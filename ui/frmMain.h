#pragma once
// The program's one window: the patch's title, the path of the target, and
// the command that updates it.

#include <windows.h>

#include <array>
#include <string>

#include "ui/FormLayout.h"
#include "ui/StartupGuard.h"

namespace quorvale::ui {

class frmMain {
public:
    // Creates the window, runs it until it closes, and returns the exit code.
    static int Run(HINSTANCE instance, int showCommand);

private:
    explicit frmMain(HINSTANCE instance) : instance_(instance) {}
    ~frmMain();

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    bool Form_Load();
    void cmdUpdate_Click();

    void CreateControls();
    void ApplyLayout(int dpi);
    void CenterOnScreen();
    void ProcessPendingEvents();
    LRESULT ColorStatic(HDC dc, HWND control);
    void ShowMessage(const std::string& title, const std::string& text);
    HWND Control(ControlId id) const;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    std::array<HWND, kControls.size()> controls_{};
    std::array<HFONT, kControls.size()> fonts_{};
    StartupGuard guard_;
    bool refused_ = false;
    bool busy_ = false;
};

}  // namespace quorvale::ui
