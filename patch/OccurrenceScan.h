#pragma once
// Streams a content source through a MultiPatternScanner in bounded memory.

#include <cstdint>
#include <optional>
#include <vector>

#include "patch/ContentSource.h"
#include "patch/MultiPatternScanner.h"

namespace quorvale {

struct Occurrences {
    // Per pattern, its first occurrences at or after the start, ascending.
    std::vector<std::vector<std::uint64_t>> offsets;
    std::optional<platform::IoError> error;
};

// Records up to `limit` occurrences of each pattern from `start` on. A list
// shorter than `limit` holds every occurrence; a full one may have more.
Occurrences FindOccurrences(const ContentSource& content, const MultiPatternScanner& scanner, std::uint64_t start,
                            std::size_t limit);

}  // namespace quorvale
