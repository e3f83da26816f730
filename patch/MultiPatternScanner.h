#pragma once
// Finds the occurrences of many byte patterns in one pass over the data.
//
// Each pattern is anchored on the bytes of its rarest pair of neighbouring
// characters: the blanks and zero bytes that pad widened texts occur
// everywhere, so they make a poor filter. Positions where some anchor pair
// matches are then checked against the whole pattern.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvale {

// How candidates are found; all give the same result. Fastest picks the widest
// vectors the processor has; the others exist so tests can compare them.
enum class ScanMethod { Fastest, Sse2, Bytewise };

class MultiPatternScanner {
public:
    // Patterns are at least 3 bytes long.
    explicit MultiPatternScanner(std::vector<std::string> patterns, ScanMethod method = ScanMethod::Fastest);

    std::size_t PatternCount() const { return patterns_.size(); }
    std::size_t LongestPattern() const { return longest_; }

    // Calls `report(pattern, offset)` for every occurrence lying wholly inside
    // `data`, each pattern's in ascending order. Returns false as soon as
    // `report` does, true when the data is exhausted.
    using Report = std::function<bool(std::size_t pattern, std::size_t offset)>;
    bool Scan(std::string_view data, const Report& report) const;

private:
    struct Member {
        std::size_t pattern;
        std::size_t anchorOffset;
    };
    struct AnchorGroup {
        unsigned char first;
        unsigned char third;  // the byte two after `first`: the next character of a widened text
        std::vector<Member> members;
    };

    bool CheckCandidate(std::string_view data, std::size_t position, const Report& report) const;
    // Vector loops over the anchor positions; each advances `position` past
    // what it covered and returns false when `report` asked to stop.
    bool ScanSse2(std::string_view data, std::size_t& position, const Report& report) const;
    bool ScanAvx2(std::string_view data, std::size_t& position, const Report& report) const;

    std::vector<std::string> patterns_;
    ScanMethod method_;
    std::vector<AnchorGroup> groups_;
    std::array<std::vector<std::uint8_t>, 256> groupsByFirst_;  // for a cheap first check of a candidate
    std::size_t longest_ = 0;
};

}  // namespace quorvale
