#include "tests/ui/WindowDriver.h"

#include <fstream>
#include <stdexcept>

#include "tests/support/TestFiles.h"

namespace quorvale::test {
namespace {

struct Search {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process) search->found.push_back(window);
    return TRUE;
}

}  // namespace

AppProcess::AppProcess() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + PathForWine(QUORVALE_APP_PATH) + L"\"";
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_)) {
        throw std::runtime_error("cannot start the program");
    }
}

AppProcess::~AppProcess() {
    if (Running()) {
        TerminateProcess(info_.hProcess, 99);
        WaitForExit(5000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
}

bool AppProcess::WaitForExit(DWORD milliseconds, DWORD* exitCode) const {
    if (WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0) return false;
    if (exitCode != nullptr) GetExitCodeProcess(info_.hProcess, exitCode);
    return true;
}

std::vector<HWND> AppProcess::TopLevelWindows() const {
    Search search{info_.dwProcessId, {}};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND AppProcess::WaitForWindow(const char* className, const char* title, DWORD milliseconds) const {
    // WaitForInputIdle returns before the window exists: poll instead.
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    do {
        for (HWND window : TopLevelWindows()) {
            if ((className == nullptr || ClassOf(window) == className) && TextOf(window) == title &&
                IsWindowVisible(window)) {
                return window;
            }
        }
        Sleep(20);
    } while (GetTickCount64() < deadline);
    return nullptr;
}

std::string TextOf(HWND window) {
    // WM_GETTEXT, not GetWindowText, which gives nothing for another process's edit.
    char text[1024] = {};
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        &ignored);
    return text;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

MessageBoxView ReadMessageBox(HWND box) {
    MessageBoxView view;
    view.title = TextOf(box);
    view.text = TextOf(GetDlgItem(box, 0xFFFF));
    HWND iconControl = GetDlgItem(box, 1088);
    view.icon = iconControl != nullptr && SendMessageA(iconControl, STM_GETICON, 0, 0) != 0;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == "Button" && IsWindowVisible(child)) ++view.buttons;
    }
    return view;
}

void PressOk(HWND box) {
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

HWND ChildWithText(HWND parent, const std::string& text) {
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (TextOf(child) == text) return child;
    }
    return nullptr;
}

RECT ClientRectIn(HWND parent, HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void PressKeys(std::initializer_list<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        inputs.push_back(down);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT up{};
        up.type = INPUT_KEYBOARD;
        up.ki.wVk = *--key;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(up);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

int Screenshot::Count(RECT area, COLORREF color) const {
    int count = 0;
    for (int y = std::max(0L, area.top); y < std::min<LONG>(height, area.bottom); ++y) {
        for (int x = std::max(0L, area.left); x < std::min<LONG>(width, area.right); ++x) count += At(x, y) == color;
    }
    return count;
}

Screenshot CaptureClient(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    Screenshot shot;
    shot.width = client.right;
    shot.height = client.bottom;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, origin.x, origin.y, SRCCOPY);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < shot.width * shot.height; ++i) {
        std::uint32_t bgrx = pixels[i];  // in memory: blue, green, red, unused
        shot.pixels.push_back(RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}

bool Screenshot::SaveBmp(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    const std::uint32_t imageBytes = static_cast<std::uint32_t>(width * height * 4);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + imageBytes),
                          0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, imageBytes, 0, 0, 0, 0};
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    for (COLORREF pixel : pixels) {
        const char bgrx[4] = {static_cast<char>(GetBValue(pixel)), static_cast<char>(GetGValue(pixel)),
                              static_cast<char>(GetRValue(pixel)), 0};
        out.write(bgrx, 4);
    }
    return static_cast<bool>(out);
}

}  // namespace quorvale::test
