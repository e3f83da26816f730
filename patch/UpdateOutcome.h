#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "platform/IoError.h"

namespace quorvale {

struct UpdateOutcome {
    enum Kind {
        PathInvalid,  // the path does not name a regular file that opens for reading
        TextMissing,  // some row's English text is not there; nothing was written
        Completed,    // every row replaced and the file rewritten (or, checking, it would be)
        IoFailed,     // reading or replacing failed after the path check; the file is unchanged
    };

    Kind kind = PathInvalid;
    std::string pathProblem;                   // PathInvalid: why, in the system's words
    std::size_t missingRow = 0;                // TextMissing: the first row not found
    std::optional<platform::IoError> ioError;  // IoFailed

    static UpdateOutcome InvalidPath(std::string why) { return {PathInvalid, std::move(why), 0, std::nullopt}; }
    static UpdateOutcome MissingText(std::size_t row) { return {TextMissing, {}, row, std::nullopt}; }
    static UpdateOutcome Done() { return {Completed, {}, 0, std::nullopt}; }
    static UpdateOutcome Failed(platform::IoError error) { return {IoFailed, {}, 0, std::move(error)}; }
};

}  // namespace quorvale
