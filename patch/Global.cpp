#include "patch/Global.h"

namespace quorvale {

std::string WidenText(std::string_view text) {
    std::string wide;
    wide.reserve(text.size() * 2);
    for (char c : text) {
        wide.push_back(c);
        wide.push_back('\0');
    }
    return wide;
}

}  // namespace quorvale
