#include "patch/MultiPatternScanner.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace quorvale {
namespace {

constexpr std::size_t kAnchorSpan = 3;        // bytes from an anchor's first byte to its last, inclusive
constexpr std::size_t kMaxVectorGroups = 48;  // more anchors than this are scanned byte by byte

// How rarely a character turns up in the text around it: upper-case letters,
// digits and most punctuation are rarer than lower case, and the blank and
// the zero byte that pad every widened text are everywhere.
int Rarity(unsigned char c) {
    if (c == ' ' || c == '\0') return -100;
    if (std::isupper(c) || std::isdigit(c)) return 3;
    if (std::strchr("etaoinshrdlcu", c) != nullptr) return 0;
    if (std::islower(c)) return 1;
    return 2;
}

// The anchor is the pattern's rarest pair of neighbouring characters (bytes
// two apart in a widened text), so that ordinary text yields few candidates.
std::size_t AnchorOffset(const std::string& pattern) {
    std::size_t best = 0;
    int bestScore = -1000;
    for (std::size_t i = 0; i + kAnchorSpan <= pattern.size(); ++i) {
        int score = Rarity(static_cast<unsigned char>(pattern[i])) + Rarity(static_cast<unsigned char>(pattern[i + 2]));
        if (score > bestScore) {
            best = i;
            bestScore = score;
        }
    }
    return best;
}

}  // namespace

MultiPatternScanner::MultiPatternScanner(std::vector<std::string> patterns, ScanMethod method)
    : patterns_(std::move(patterns)), method_(method) {
    for (std::size_t index = 0; index < patterns_.size(); ++index) {
        const std::string& pattern = patterns_[index];
        longest_ = std::max(longest_, pattern.size());
        std::size_t offset = AnchorOffset(pattern);
        auto first = static_cast<unsigned char>(pattern[offset]);
        auto third = static_cast<unsigned char>(pattern[offset + 2]);
        auto group = std::find_if(groups_.begin(), groups_.end(),
                                  [&](const AnchorGroup& g) { return g.first == first && g.third == third; });
        if (group == groups_.end()) {
            groupsByFirst_[first].push_back(static_cast<std::uint8_t>(groups_.size()));
            group = groups_.insert(groups_.end(), AnchorGroup{first, third, {}});
        }
        group->members.push_back({index, offset});
    }
}

bool MultiPatternScanner::CheckCandidate(std::string_view data, std::size_t position, const Report& report) const {
    for (std::uint8_t index : groupsByFirst_[static_cast<unsigned char>(data[position])]) {
        const AnchorGroup& group = groups_[index];
        if (static_cast<unsigned char>(data[position + 2]) != group.third) continue;
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

#if defined(__x86_64__)

// Sixteen anchor positions at a time: a lane is set where some group's first
// byte and the byte two further on both match. SSE2 is on every x86-64.
bool MultiPatternScanner::ScanSse2(std::string_view data, std::size_t& position, const Report& report) const {
    constexpr std::size_t kLanes = 16;
    const std::size_t groupCount = groups_.size();
    __m128i firsts[kMaxVectorGroups], thirds[kMaxVectorGroups];
    for (std::size_t g = 0; g < groupCount; ++g) {
        firsts[g] = _mm_set1_epi8(static_cast<char>(groups_[g].first));
        thirds[g] = _mm_set1_epi8(static_cast<char>(groups_[g].third));
    }
    const char* bytes = data.data();
    for (; position + kLanes + 2 <= data.size(); position += kLanes) {
        __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + position));
        __m128i ahead = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + position + 2));
        __m128i hits = _mm_setzero_si128();
        for (std::size_t g = 0; g < groupCount; ++g) {
            hits = _mm_or_si128(hits, _mm_and_si128(_mm_cmpeq_epi8(here, firsts[g]), _mm_cmpeq_epi8(ahead, thirds[g])));
        }
        for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0; mask &= mask - 1) {
            if (!CheckCandidate(data, position + static_cast<std::size_t>(__builtin_ctz(mask)), report)) return false;
        }
    }
    return true;
}

namespace {

// The buckets each byte could be an anchor byte of, from its two nibbles.
__attribute__((target("avx2"))) inline __m256i Buckets(__m256i bytes, __m256i lowTable, __m256i highTable) {
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    __m256i lowNibbles = _mm256_and_si256(bytes, nibble);
    __m256i highNibbles = _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble);
    return _mm256_and_si256(_mm256_shuffle_epi8(lowTable, lowNibbles), _mm256_shuffle_epi8(highTable, highNibbles));
}

}  // namespace

// Thirty-two positions at a time where the processor has AVX2, at a cost that
// does not grow with the number of anchors: each anchor is put in one of
// eight buckets, and nibble tables looked up with a byte shuffle tell, for
// every byte, the buckets whose anchor byte it could be. A lane is a
// candidate when some bucket fits both its byte and the byte two further on.
__attribute__((target("avx2"))) bool MultiPatternScanner::ScanAvx2(std::string_view data, std::size_t& position,
                                                                   const Report& report) const {
    constexpr std::size_t kLanes = 32;
    alignas(32) std::uint8_t tables[4][32] = {};  // first byte low/high nibble, third byte low/high nibble
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        const std::uint8_t bucket = static_cast<std::uint8_t>(1u << (g % 8));
        for (int lane = 0; lane < 32; lane += 16) {
            tables[0][lane + (groups_[g].first & 0x0F)] |= bucket;
            tables[1][lane + (groups_[g].first >> 4)] |= bucket;
            tables[2][lane + (groups_[g].third & 0x0F)] |= bucket;
            tables[3][lane + (groups_[g].third >> 4)] |= bucket;
        }
    }
    const __m256i firstLow = _mm256_load_si256(reinterpret_cast<const __m256i*>(tables[0]));
    const __m256i firstHigh = _mm256_load_si256(reinterpret_cast<const __m256i*>(tables[1]));
    const __m256i thirdLow = _mm256_load_si256(reinterpret_cast<const __m256i*>(tables[2]));
    const __m256i thirdHigh = _mm256_load_si256(reinterpret_cast<const __m256i*>(tables[3]));
    const __m256i zero = _mm256_setzero_si256();
    const char* bytes = data.data();
    for (; position + kLanes + 2 <= data.size(); position += kLanes) {
        __m256i here = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + position));
        __m256i ahead = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + position + 2));
        __m256i both = _mm256_and_si256(Buckets(here, firstLow, firstHigh), Buckets(ahead, thirdLow, thirdHigh));
        unsigned mask = ~static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(both, zero)));
        for (; mask != 0; mask &= mask - 1) {
            if (!CheckCandidate(data, position + static_cast<std::size_t>(__builtin_ctz(mask)), report)) return false;
        }
    }
    return true;
}

#endif

bool MultiPatternScanner::Scan(std::string_view data, const Report& report) const {
    if (data.size() < kAnchorSpan || groups_.empty()) return true;
    std::size_t position = 0;
#if defined(__x86_64__)
    static const bool hasAvx2 = __builtin_cpu_supports("avx2");
    const bool avx2 = hasAvx2 && method_ == ScanMethod::Fastest;
    if (avx2 && !ScanAvx2(data, position, report)) return false;
    if (!avx2 && method_ != ScanMethod::Bytewise && groups_.size() <= kMaxVectorGroups &&
        !ScanSse2(data, position, report)) {
        return false;
    }
#endif
    for (; position + kAnchorSpan <= data.size(); ++position) {
        if (!groupsByFirst_[static_cast<unsigned char>(data[position])].empty() &&
            !CheckCandidate(data, position, report)) {
            return false;
        }
    }
    return true;
}

}  // namespace quorvale
