#include "ui/frmMain.h"

#include <shellapi.h>

#include <algorithm>
#include <exception>
#include <numeric>

#include "patch/OutcomeText.h"
#include "patch/RunUpdate.h"
#include "platform/WinText.h"
#include "ui/Fonts.h"
#include "ui/Messages.h"

namespace quorvale::ui {
namespace {

constexpr const wchar_t* kWindowClass = L"frmMain";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr COLORREF kBlue = RGB(0, 0, 255);

using platform::Utf8ToWide;

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

int Pixels(int twips, int dpi) {
    return MulDiv(twips, dpi, kTwipsPerInch);
}

const wchar_t* WindowClassOf(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
            return L"BUTTON";
        case ControlKind::TextBox:
            return L"EDIT";
        case ControlKind::Label:
            return L"STATIC";
    }
    return L"STATIC";
}

DWORD StyleOf(const ControlSpec& spec) {
    DWORD style = WS_CHILD | (spec.visible ? WS_VISIBLE : 0);
    switch (spec.kind) {
        case ControlKind::PushButton:
            return style | WS_TABSTOP | BS_PUSHBUTTON;
        case ControlKind::TextBox:
            return style | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
        case ControlKind::Label:
            return style | SS_LEFT | SS_NOPREFIX;
    }
    return style;
}

std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

int frmMain::Run(HINSTANCE instance, int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(
        instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);

    frmMain form(instance);
    HWND window = CreateWindowExW(0, kWindowClass, kCaption, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, instance, &form);
    if (window == nullptr) {
        if (!form.refused_) return 1;
        // The window never showed; the message alone says why.
        MessageBeep(MB_OK);
        MessageBoxW(nullptr, kAlreadyRunningText, kCaption, MB_OK | MB_SETFOREGROUND);
        return 0;
    }
    ShowWindow(window, showCommand);
    SetFocus(form.Control(ControlId::txtFilePath));

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message)) continue;  // Tab, Shift+Tab, Enter, Space
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

frmMain::~frmMain() {
    for (HFONT font : fonts_) {
        if (font != nullptr) DeleteObject(font);
    }
}

LRESULT CALLBACK frmMain::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<frmMain*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<frmMain*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    // Nothing may unwind through the system's code that called us.
    try {
        return form->Handle(message, wParam, lParam);
    } catch (const std::exception& error) {
        form->ShowMessage("Error", std::string("The program met an unexpected problem: ") + error.what());
    } catch (...) {
        form->ShowMessage("Error", "The program met an unexpected problem.");
    }
    return 0;
}

LRESULT frmMain::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            if (!Form_Load()) return -1;
            return 0;
        case WM_COMMAND:
            // Enter on the focused button comes as IDOK from the dialog manager.
            if ((LOWORD(wParam) == static_cast<WORD>(ControlId::cmdUpdate) && HIWORD(wParam) == BN_CLICKED) ||
                (LOWORD(wParam) == IDOK && GetFocus() == Control(ControlId::cmdUpdate))) {
                cmdUpdate_Click();
            }
            return 0;
        case WM_CTLCOLORSTATIC:
            return ColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DROPFILES: {
            auto drop = reinterpret_cast<HDROP>(wParam);
            std::wstring path(DragQueryFileW(drop, 0, nullptr, 0) + 1, L'\0');
            path.resize(DragQueryFileW(drop, 0, path.data(), static_cast<UINT>(path.size())));
            DragFinish(drop);
            SetWindowTextW(Control(ControlId::txtFilePath), path.c_str());
            return 0;
        }
        case WM_DPICHANGED: {
            ApplyLayout(HIWORD(wParam));
            const RECT* suggested = reinterpret_cast<RECT*>(lParam);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_CLOSE:
            if (busy_) return 0;  // the update finishes first
            break;
        case WM_DESTROY:
            // A refused start still has its message to show: no quit yet.
            if (!refused_) PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

bool frmMain::Form_Load() {
    if (!guard_.PassAndMark(window_, kCaption)) {
        refused_ = true;
        return false;
    }
    CreateControls();
    ApplyLayout(ScreenDpi());
    CenterOnScreen();
    DragAcceptFiles(window_, TRUE);
    return true;
}

void frmMain::CreateControls() {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const ControlSpec& spec = kControls[i];
        DWORD extendedStyle = spec.kind == ControlKind::TextBox ? WS_EX_CLIENTEDGE : 0;
        controls_[i] =
            CreateWindowExW(extendedStyle, WindowClassOf(spec.kind), spec.text, StyleOf(spec), 0, 0, 0, 0, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance_, nullptr);
    }
    // The dialog manager tabs in z-order: put the controls in tab order.
    std::array<std::size_t, kControls.size()> byTab;
    std::iota(byTab.begin(), byTab.end(), 0);
    std::sort(byTab.begin(), byTab.end(), [](auto a, auto b) { return kControls[a].tabIndex < kControls[b].tabIndex; });
    for (std::size_t index : byTab) {
        SetWindowPos(controls_[index], HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void frmMain::ApplyLayout(int dpi) {
    RECT frame{0, 0, Pixels(kClientWidthTwips, dpi), Pixels(kClientHeightTwips, dpi)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const ControlSpec& spec = kControls[i];
        MoveWindow(controls_[i], Pixels(spec.left, dpi), Pixels(spec.top, dpi), Pixels(spec.width, dpi),
                   Pixels(spec.height, dpi), FALSE);
        HFONT font = CreateSpecFont(spec.font, dpi);
        SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (fonts_[i] != nullptr) DeleteObject(fonts_[i]);
        fonts_[i] = font;
    }
    InvalidateRect(window_, nullptr, TRUE);
}

void frmMain::CenterOnScreen() {
    RECT frame;
    GetWindowRect(window_, &frame);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    SetWindowPos(window_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT frmMain::ColorStatic(HDC dc, HWND control) {
    auto spec = std::find_if(kControls.begin(), kControls.end(),
                             [&](const ControlSpec& s) { return Control(s.id) == control; });
    if (spec != kControls.end() && spec->blueText) SetTextColor(dc, kBlue);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

HWND frmMain::Control(ControlId id) const {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (kControls[i].id == id) return controls_[i];
    }
    return nullptr;
}

void frmMain::ShowMessage(const std::string& title, const std::string& text) {
    MessageBoxW(window_, Utf8ToWide(text).c_str(), Utf8ToWide(title).c_str(), MB_OK);
}

// Lets the wait label be drawn before the update holds the thread.
void frmMain::ProcessPendingEvents() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (IsDialogMessageW(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void frmMain::cmdUpdate_Click() {
    if (busy_) return;  // a click that arrived while the label was drawn
    busy_ = true;
    HWND lblWait = Control(ControlId::lblWait);
    ShowWindow(lblWait, SW_SHOW);
    ProcessPendingEvents();

    const UpdateOutcome outcome = RunUpdate(platform::WideToUtf8(TextOf(Control(ControlId::txtFilePath))));
    const OutcomeMessage message = DescribeOutcome(outcome);
    if (outcome.kind == UpdateOutcome::PathInvalid || outcome.kind == UpdateOutcome::IoFailed) {
        ShowWindow(lblWait, SW_HIDE);
    }
    ShowMessage(message.title, message.text);
    busy_ = false;
    if (outcome.kind == UpdateOutcome::Completed) {
        DestroyWindow(window_);
        return;
    }
    ShowWindow(lblWait, SW_HIDE);
}

}  // namespace quorvale::ui
