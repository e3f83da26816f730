#pragma once
// What went wrong in a file operation, in terms the caller can show to a user.

#include <string>

namespace quorvale::platform {

// The step of an update that failed, in the order an update takes them.
enum class IoStep {
    Read,
    OpenForWriting,
    CreateTemporary,
    Write,
    Flush,
    CheckUnchanged,
    Replace,
};

// The kinds of failure a user can do something about; everything else is Other.
enum class IoErrorKind {
    AccessDenied,
    InUse,
    DiskFull,
    ChangedMeanwhile,
    Other,
};

struct IoError {
    IoStep step;
    IoErrorKind kind;
    std::string systemText;  // the operating system's own words, UTF-8
};

}  // namespace quorvale::platform
