#include "cli/CommandLine.h"
#include "platform/WinText.h"

// Wide arguments, so that paths in any script reach the engine intact.
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(quorvale::platform::WideToUtf8(argv[i]));
    return quorvale::cli::RunCommandLine(arguments);
}
