#include "patch/MultiPatternScanner.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvale {
namespace {

constexpr std::size_t kAnchorSpan = 3;  // bytes from an anchor's first byte to its last, inclusive

std::size_t AnchorOffset(const std::string& pattern) {
    for (std::size_t i = 0; i + kAnchorSpan <= pattern.size(); ++i) {
        if (pattern[i] != ' ' && pattern[i] != '\0') return i;
    }
    return 0;
}

}  // namespace

MultiPatternScanner::MultiPatternScanner(std::vector<std::string> patterns) : patterns_(std::move(patterns)) {
    for (std::size_t index = 0; index < patterns_.size(); ++index) {
        const std::string& pattern = patterns_[index];
        longest_ = std::max(longest_, pattern.size());
        std::size_t offset = AnchorOffset(pattern);
        auto first = static_cast<unsigned char>(pattern[offset]);
        auto third = static_cast<unsigned char>(pattern[offset + 2]);
        auto group = std::find_if(groups_.begin(), groups_.end(),
                                  [&](const AnchorGroup& g) { return g.first == first && g.third == third; });
        if (group == groups_.end()) group = groups_.insert(groups_.end(), AnchorGroup{first, third, {}});
        group->members.push_back({index, offset});
    }
}

bool MultiPatternScanner::CheckCandidate(std::string_view data, std::size_t position, const Report& report) const {
    for (const AnchorGroup& group : groups_) {
        if (static_cast<unsigned char>(data[position]) != group.first ||
            static_cast<unsigned char>(data[position + 2]) != group.third) {
            continue;
        }
        for (const Member& member : group.members) {
            const std::string& pattern = patterns_[member.pattern];
            if (position < member.anchorOffset) continue;
            std::size_t start = position - member.anchorOffset;
            if (start + pattern.size() > data.size()) continue;
            if (std::memcmp(data.data() + start, pattern.data(), pattern.size()) != 0) continue;
            if (!report(member.pattern, start)) return false;
        }
    }
    return true;
}

bool MultiPatternScanner::Scan(std::string_view data, const Report& report) const {
    if (data.size() < kAnchorSpan || groups_.empty()) return true;
    std::size_t position = 0;
#if defined(__SSE2__)
    // Sixteen anchor positions at a time: a lane is set where any group's
    // first byte and the byte two further on both match.
    constexpr std::size_t kLanes = 16;
    struct AnchorLanes {
        __m128i first, third;
    };
    std::vector<AnchorLanes> anchors;
    for (const AnchorGroup& group : groups_) {
        anchors.push_back({_mm_set1_epi8(static_cast<char>(group.first)), _mm_set1_epi8(static_cast<char>(group.third))});
    }
    const char* bytes = data.data();
    for (; position + kLanes + 2 <= data.size(); position += kLanes) {
        __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + position));
        __m128i ahead = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + position + 2));
        __m128i hits = _mm_setzero_si128();
        for (const AnchorLanes& anchor : anchors) {
            hits = _mm_or_si128(hits, _mm_and_si128(_mm_cmpeq_epi8(here, anchor.first), _mm_cmpeq_epi8(ahead, anchor.third)));
        }
        for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0; mask &= mask - 1) {
            if (!CheckCandidate(data, position + static_cast<std::size_t>(__builtin_ctz(mask)), report)) return false;
        }
    }
#endif
    for (; position + kAnchorSpan <= data.size(); ++position) {
        if (!CheckCandidate(data, position, report)) return false;
    }
    return true;
}

}  // namespace quorvale
