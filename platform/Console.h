#pragma once

#include <string_view>

namespace quorvale::platform {

// Writes one line of UTF-8 text to standard output or standard error, in a
// form the terminal shows correctly.
void WriteLine(std::string_view utf8, bool toError = false);

}  // namespace quorvale::platform
