#pragma once
// Works out, without writing anything, what an update changes in a content.

#include <cstddef>
#include <optional>
#include <vector>

#include "patch/ContentSource.h"
#include "platform/TargetFile.h"

namespace quorvale {

struct UpdatePlan {
    std::optional<platform::IoError> readError;
    std::size_t missingRow = 0;             // the first row (from 1) whose English text is not found; 0 if none
    std::vector<platform::ByteEdit> edits;  // one a row, in row order, when every text was found

    bool Complete() const { return !readError && missingRow == 0; }
};

// Occurrences kept per row from the one pass over the content. An earlier
// row's replacement can spoil only a few of them; if it spoils them all, the
// search for that row resumes where the list ended.
inline constexpr std::size_t kKeptOccurrences = 8;

// The edits that replace, row by row, the first occurrence of each row's
// widened English text in the content as the earlier rows left it.
UpdatePlan PlanUpdate(const ContentSource& content, std::size_t keptOccurrences = kKeptOccurrences);

}  // namespace quorvale
