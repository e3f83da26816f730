#include <cstdio>

#include "platform/Console.h"

namespace quorvale::platform {

void WriteLine(std::string_view utf8, bool toError) {
    std::FILE* stream = toError ? stderr : stdout;
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

}  // namespace quorvale::platform
