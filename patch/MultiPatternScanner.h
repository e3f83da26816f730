#pragma once
// Finds the occurrences of many byte patterns in one pass over the data.
//
// Each pattern is anchored on two bytes of its first non-blank characters:
// the blanks and zero bytes that pad widened texts occur everywhere, so they
// make a poor filter. Positions where some anchor pair matches are then
// checked against the whole pattern.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvale {

class MultiPatternScanner {
public:
    // Patterns are at least 3 bytes long.
    explicit MultiPatternScanner(std::vector<std::string> patterns);

    std::size_t PatternCount() const { return patterns_.size(); }
    const std::string& Pattern(std::size_t index) const { return patterns_[index]; }
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

    std::vector<std::string> patterns_;
    std::vector<AnchorGroup> groups_;
    std::size_t longest_ = 0;
};

}  // namespace quorvale
