// The main window checked from another process: layout, keyboard, every
// outcome of the update, and the start-up guard.

#include <gtest/gtest.h>

#include <cstdlib>

#include "sample/SampleTarget.h"
#include "tests/support/ReferenceUpdate.h"
#include "tests/support/TestFiles.h"
#include "tests/ui/WindowDriver.h"

namespace quorvale::test {
namespace {

constexpr const char* kDefaultPath = "C:\\Archivos de programa\\Quorvale\\Quorvale.exe";
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Designed pixels are at 96 DPI; the window scales them to the screen's.
int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}
LONG Scaled(LONG pixelsAt96) {
    return MulDiv(pixelsAt96, ScreenDpi(), 96);
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = app_.WaitForWindow("frmMain", kMarkedTitle);
        ASSERT_NE(form_, nullptr) << "the window with the marked title did not appear";
        txtFilePath_ = ChildWithText(form_, kDefaultPath);
        cmdUpdate_ = ChildWithText(form_, "Perform Update");
        lblWait_ = ChildWithText(form_, "Please Wait...");
        ASSERT_TRUE(txtFilePath_ && cmdUpdate_ && lblWait_);
    }

    // Clicks "Perform Update" on `path` and returns the message box it opens.
    HWND ClickUpdateOn(const std::string& path, const char* expectedTitle) {
        SendMessageA(txtFilePath_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PostMessageA(cmdUpdate_, BM_CLICK, 0, 0);  // a Send would block on the box
        return app_.WaitForWindow("#32770", expectedTitle);
    }

    std::string WriteTarget(const std::string& name, const std::string& bytes) {
        WriteBytes(folder_ / name, bytes);
        return Utf8(folder_ / name);
    }

    AppProcess app_;
    HWND form_ = nullptr, txtFilePath_ = nullptr, cmdUpdate_ = nullptr, lblWait_ = nullptr;
    TempFolder folder_;
};

TEST_F(MainWindow, HasTheDesignedFrameSizeAndPlace) {
    const LONG style = GetWindowLongA(form_, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the border must be fixed";
    RECT client;
    GetClientRect(form_, &client);
    EXPECT_NEAR(client.right, Scaled(447), 1);
    EXPECT_NEAR(client.bottom, Scaled(182), 1);
    RECT frame;
    GetWindowRect(form_, &frame);
    EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

TEST_F(MainWindow, ControlsStandWhereDesigned) {
    struct Expected {
        const char* text;
        const char* className;
        RECT rect;  // left, top, right, bottom in client pixels at 96 DPI
        bool visible;
    };
    const Expected controls[] = {
        {"Perform Update", "Button", {152, 144, 152 + 129, 144 + 25}, true},
        {kDefaultPath, "Edit", {16, 96, 16 + 417, 96 + 25}, true},
        {"Please Wait...", "Static", {304, 144, 304 + 137, 144 + 17}, false},
        {"Please Enter the Path of the Quorvale Executable Program:", "Static", {0, 64, 449, 64 + 25}, true},
        {"Quorvale 2000 Spanish Language Patch", "Static", {56, 8, 56 + 361, 8 + 33}, true},
    };
    int children = 0;
    for (HWND child = GetWindow(form_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++children;
    EXPECT_EQ(children, 5);
    for (const Expected& expected : controls) {
        SCOPED_TRACE(expected.text);
        HWND control = ChildWithText(form_, expected.text);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ClassOf(control), expected.className);
        RECT rect = ClientRectIn(form_, control);
        EXPECT_NEAR(rect.left, Scaled(expected.rect.left), 1);
        EXPECT_NEAR(rect.top, Scaled(expected.rect.top), 1);
        EXPECT_NEAR(rect.right, Scaled(expected.rect.right), 1);
        EXPECT_NEAR(rect.bottom, Scaled(expected.rect.bottom), 1);
        EXPECT_EQ(IsWindowVisible(control) != 0, expected.visible);
    }
    EXPECT_TRUE(GetWindowLongA(txtFilePath_, GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongA(cmdUpdate_, GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongA(txtFilePath_, GWL_STYLE) & (ES_MULTILINE | ES_READONLY));
}

TEST_F(MainWindow, LooksAsDesigned) {
    Sleep(300);  // let it paint
    Screenshot shot = CaptureClient(form_);
    const char* artifacts = std::getenv("QUORVALE_ARTIFACTS");
    if (artifacts != nullptr) shot.SaveBmp(std::string(artifacts) + "\\window.bmp");
    EXPECT_GT(shot.Count(ClientRectIn(form_, ChildWithText(form_, "Quorvale 2000 Spanish Language Patch")), kBlue), 200)
        << "the title is drawn in blue";
    EXPECT_GT(shot.Count(ClientRectIn(
                             form_, ChildWithText(form_, "Please Enter the Path of the Quorvale Executable Program:")),
                         kBlue),
              200);
    EXPECT_EQ(shot.Count(ClientRectIn(form_, txtFilePath_), kBlue), 0) << "the path is in the default colour";
    EXPECT_EQ(shot.At(5, 175), GetSysColor(COLOR_BTNFACE)) << "the form has the default background";
}

TEST_F(MainWindow, KeyboardMovesBetweenThePathAndTheButtonOnly) {
    EXPECT_EQ(FocusOf(form_), txtFilePath_) << "the window opens with the focus in the path";
    SetForegroundWindow(form_);
    PressKeys({VK_TAB});
    Sleep(200);
    EXPECT_EQ(FocusOf(form_), cmdUpdate_);
    PressKeys({VK_TAB});
    Sleep(200);
    EXPECT_EQ(FocusOf(form_), txtFilePath_);
    PressKeys({VK_SHIFT, VK_TAB});
    Sleep(200);
    EXPECT_EQ(FocusOf(form_), cmdUpdate_);

    // Enter and Space on the focused button both click it.
    SendMessageA(txtFilePath_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("C:\\no such folder\\Quorvale.exe"));
    for (WORD key : {VK_RETURN, VK_SPACE}) {
        SCOPED_TRACE(key == VK_RETURN ? "Enter" : "Space");
        SetForegroundWindow(form_);
        for (int tabs = 0; tabs < 2 && FocusOf(form_) != cmdUpdate_; ++tabs) {
            PressKeys({VK_TAB});
            Sleep(200);
        }
        ASSERT_EQ(FocusOf(form_), cmdUpdate_);
        PressKeys({key});
        HWND box = app_.WaitForWindow("#32770", "Error", 5000);
        ASSERT_NE(box, nullptr);
        PressOk(box);
        Sleep(300);
    }
}

TEST_F(MainWindow, AnInvalidPathHidesTheWaitLabelBeforeItsMessage) {
    HWND box = ClickUpdateOn(Utf8(folder_ / "missing.exe"), "Error");
    ASSERT_NE(box, nullptr);
    MessageBoxView view = ReadMessageBox(box);
    EXPECT_EQ(view.text, "File Path is Invalid.  Enter correct path and try again.");
    EXPECT_EQ(view.buttons, 1);
    EXPECT_FALSE(view.icon);
    EXPECT_FALSE(IsWindowVisible(lblWait_));
    PressOk(box);
    Sleep(300);
    EXPECT_TRUE(app_.Running());
    EXPECT_TRUE(IsWindow(form_));
}

TEST_F(MainWindow, MissingTextKeepsTheWaitLabelBehindItsMessage) {
    const std::string original = sample::MakeSample({.omitRow = 12});
    HWND box = ClickUpdateOn(WriteTarget("lacks12.exe", original), "Quorvale 2000");
    ASSERT_NE(box, nullptr);
    MessageBoxView view = ReadMessageBox(box);
    EXPECT_EQ(view.text, "Can not update now.  Program has already been updated or File Path is invalid.");
    EXPECT_EQ(view.buttons, 1);
    EXPECT_FALSE(view.icon);
    EXPECT_TRUE(IsWindowVisible(lblWait_)) << "the wait label stays while the message is open";
    PressOk(box);
    Sleep(300);
    EXPECT_FALSE(IsWindowVisible(lblWait_));
    EXPECT_TRUE(app_.Running());
    EXPECT_TRUE(ReadBytes(folder_ / "lacks12.exe") == original);
}

TEST_F(MainWindow, AFailedWriteSaysWhatToDoAndKeepsTheWindow) {
    const std::string original = sample::MakeSample({});
    const std::string path = WriteTarget("readonly.exe", original);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    HWND box = ClickUpdateOn(path, "Error");
    ASSERT_NE(box, nullptr);
    MessageBoxView view = ReadMessageBox(box);
    EXPECT_NE(view.text.find("read-only"), std::string::npos) << view.text;
    EXPECT_NE(view.text.find("The file was left unchanged."), std::string::npos) << view.text;
    EXPECT_FALSE(IsWindowVisible(lblWait_));
    PressOk(box);
    Sleep(300);
    EXPECT_TRUE(app_.Running());
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(ReadBytes(folder_ / "readonly.exe") == original);
}

TEST_F(MainWindow, AFailureThenACompleteUpdateEndsTheProgram) {
    HWND box = ClickUpdateOn("", "Error");
    ASSERT_NE(box, nullptr);
    PressOk(box);

    const std::string original = sample::MakeSample({.oddOffsets = true});
    box = ClickUpdateOn(WriteTarget("Quorvale.exe", original), "Quorvale 2000");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadMessageBox(box).text, "Update is complete!");
    EXPECT_TRUE(IsWindowVisible(lblWait_));
    EXPECT_TRUE(ReadBytes(folder_ / "Quorvale.exe") == ReferenceUpdate(original).content);
    PressOk(box);
    DWORD exitCode = 1;
    EXPECT_TRUE(app_.WaitForExit(5000, &exitCode)) << "the program ends after a complete update";
    EXPECT_EQ(exitCode, 0u);
}

TEST(StartupGuard, ASecondCopyIsRefusedWhileTheFirstRuns) {
    AppProcess first;
    HWND form = first.WaitForWindow("frmMain", kMarkedTitle);
    ASSERT_NE(form, nullptr);
    AppProcess second;
    HWND refusal = second.WaitForWindow("#32770", kCaption);
    ASSERT_NE(refusal, nullptr);
    MessageBoxView view = ReadMessageBox(refusal);
    EXPECT_EQ(view.text, "Quorvale 2000 should not be running at this time.");
    EXPECT_EQ(view.buttons, 1);
    EXPECT_FALSE(view.icon);
    Sleep(500);
    ASSERT_TRUE(second.Running()) << "the refusal waits for its OK";
    for (HWND window : second.TopLevelWindows()) {
        EXPECT_FALSE(IsWindowVisible(window) && ClassOf(window) != "#32770")
            << "the refused copy shows a window titled '" << TextOf(window) << "'";
    }
    PressOk(refusal);
    EXPECT_TRUE(second.WaitForExit(5000));
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(TextOf(form), kMarkedTitle);
}

BOOL CALLBACK CountMarkedWindows(HWND window, LPARAM count) {
    if (TextOf(window) == kMarkedTitle && IsWindowVisible(window)) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST(StartupGuard, TwoCopiesStartedTogetherShowOneWindow) {
    AppProcess first, second;
    HWND refusal = nullptr;
    for (int i = 0; i < 250 && refusal == nullptr; ++i, Sleep(20)) {
        refusal = first.WaitForWindow("#32770", kCaption, 0);
        if (refusal == nullptr) refusal = second.WaitForWindow("#32770", kCaption, 0);
    }
    ASSERT_NE(refusal, nullptr) << "one of the two must be refused";
    Sleep(300);
    int marked = 0;
    EnumWindows(CountMarkedWindows, reinterpret_cast<LPARAM>(&marked));
    EXPECT_EQ(marked, 1);
    PressOk(refusal);
}

TEST(StartupGuard, AWindowWithoutTheTrailingBlankIsNotTheProgram) {
    HWND decoy = CreateWindowExA(0, "STATIC", kCaption, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(decoy, nullptr);
    AppProcess app;
    EXPECT_NE(app.WaitForWindow("frmMain", kMarkedTitle), nullptr);
    DestroyWindow(decoy);
}

}  // namespace
}  // namespace quorvale::test
