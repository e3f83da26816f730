#pragma once
// Text helpers shared by the engine.

#include <string>
#include <string_view>

namespace quorvale {

// The UTF-16LE bytes of a Latin-1 text: every character followed by a zero.
std::string WidenText(std::string_view text);

}  // namespace quorvale
