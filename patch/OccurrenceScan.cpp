#include "patch/OccurrenceScan.h"

#include <algorithm>
#include <string>

namespace quorvale {
namespace {

constexpr std::size_t kWindowBytes = 1 << 20;

}  // namespace

Occurrences FindOccurrences(const ContentSource& content, const MultiPatternScanner& scanner, std::uint64_t start,
                            std::size_t limit) {
    Occurrences found;
    found.offsets.resize(scanner.PatternCount());
    std::size_t patternsAtLimit = 0;
    // Consecutive windows overlap by one byte less than the longest pattern,
    // so every occurrence lies wholly inside some window; one that lies inside
    // two is recorded once.
    const std::size_t overlap = scanner.LongestPattern() - 1;
    const std::uint64_t size = content.Size();
    std::string window(
        static_cast<std::size_t>(std::min<std::uint64_t>(kWindowBytes + overlap, size - std::min(start, size))), '\0');
    for (std::uint64_t base = start; base < size;) {
        std::size_t length = static_cast<std::size_t>(std::min<std::uint64_t>(window.size(), size - base));
        if (auto error = content.ReadAt(base, std::span(window.data(), length))) {
            found.error = error;
            return found;
        }
        bool more = scanner.Scan(std::string_view(window.data(), length), [&](std::size_t pattern, std::size_t at) {
            std::vector<std::uint64_t>& list = found.offsets[pattern];
            const std::uint64_t offset = base + at;
            if (list.size() == limit || (!list.empty() && offset <= list.back())) return true;
            list.push_back(offset);
            return list.size() < limit || ++patternsAtLimit < found.offsets.size();
        });
        if (!more || base + length == size) break;
        base += length - overlap;
    }
    return found;
}

}  // namespace quorvale
