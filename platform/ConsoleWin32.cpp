#include <windows.h>

#include <string>

#include "platform/Console.h"
#include "platform/WinText.h"

namespace quorvale::platform {

void WriteLine(std::string_view utf8, bool toError) {
    HANDLE stream = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    std::string line = std::string(utf8) + "\r\n";
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(stream, &mode)) {
        std::wstring wide = Utf8ToWide(line);
        WriteConsoleW(stream, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    } else {
        WriteFile(stream, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

}  // namespace quorvale::platform
