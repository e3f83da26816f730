#pragma once
// UTF-8 inside the program, UTF-16 at the edge of the Windows API.

#include <string>
#include <string_view>

namespace quorvale::platform {

// Invalid input gives an empty result (and `ok` false where asked).
std::wstring Utf8ToWide(std::string_view text, bool* ok = nullptr);
std::string WideToUtf8(std::wstring_view text, bool* ok = nullptr);

// The system's own words for an error code from GetLastError.
std::string WindowsErrorText(unsigned long error);

}  // namespace quorvale::platform
