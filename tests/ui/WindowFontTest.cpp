// The window's fonts, read in the program's own process: the window runs on
// a thread here while the test reads what each control draws with.

#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "ui/frmMain.h"

namespace quorvale::ui {
namespace {

struct DrawnFont {
    std::wstring requestedFace;
    std::wstring drawnFace;
    LONG height;
    LONG weight;
    bool fixedPitch;
};

DrawnFont FontOf(HWND control) {
    auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW logical{};
    GetObjectW(font, sizeof logical, &logical);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    // TMPF_FIXED_PITCH set means the font is NOT fixed-pitch.
    return {logical.lfFaceName, face, logical.lfHeight, logical.lfWeight,
            (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0};
}

HWND ChildWithText(HWND parent, const wchar_t* text) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t buffer[256] = {};
        GetWindowTextW(child, buffer, 256);
        if (std::wstring(buffer) == text) return child;
    }
    return nullptr;
}

TEST(WindowFonts, EachControlDrawsWithItsDesignedFont) {
    std::thread program([] { frmMain::Run(GetModuleHandleW(nullptr), SW_SHOW); });
    HWND form = nullptr;
    for (int i = 0; i < 500 && form == nullptr; ++i, Sleep(10)) form = FindWindowW(L"frmMain", L"[_ Quorvale 2000 _| ");
    ASSERT_NE(form, nullptr);

    struct Expected {
        const wchar_t* text;
        int hundredthsOfPoint;
        LONG weight;
        bool monospaced;
    };
    const Expected controls[] = {
        {L"C:\\Archivos de programa\\Quorvale\\Quorvale.exe", 975, FW_NORMAL, true},
        {L"Please Enter the Path of the Quorvale Executable Program:", 825, FW_NORMAL, true},
        {L"Quorvale 2000 Spanish Language Patch", 1125, FW_BOLD, true},
        {L"Please Wait...", 1200, FW_BOLD, false},
    };
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);  // 96 gives -13, -11, -15 and -16 pixels
    ReleaseDC(nullptr, screen);
    for (const Expected& expected : controls) {
        SCOPED_TRACE(std::string(expected.text, expected.text + wcslen(expected.text)));
        HWND control = ChildWithText(form, expected.text);
        ASSERT_NE(control, nullptr);
        DrawnFont font = FontOf(control);
        EXPECT_EQ(font.requestedFace, expected.monospaced ? L"Courier New" : L"MS Sans Serif");
        EXPECT_EQ(font.height, -MulDiv(expected.hundredthsOfPoint, dpi, 7200));
        EXPECT_EQ(font.weight, expected.weight);
        EXPECT_EQ(font.fixedPitch, expected.monospaced);
    }
    // The button keeps the system's own font.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    EXPECT_EQ(FontOf(ChildWithText(form, L"Perform Update")).requestedFace, metrics.lfMessageFont.lfFaceName);

    PostMessageW(form, WM_CLOSE, 0, 0);
    program.join();
}

}  // namespace
}  // namespace quorvale::ui
