#pragma once
// quorvale-patch: the update for scripts, one file after another.

#include <string>
#include <vector>

namespace quorvale::cli {

// Exit codes, one per outcome; with several files the first failure's wins.
enum ExitCode {
    kExitCompleted = 0,
    kExitPathInvalid = 2,
    kExitTextMissing = 3,
    kExitIoFailed = 4,
    kExitUsage = 64,
};

// `arguments` excludes the program name; all text is UTF-8.
int RunCommandLine(const std::vector<std::string>& arguments);

}  // namespace quorvale::cli
