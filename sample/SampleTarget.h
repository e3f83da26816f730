#pragma once
// Synthetic stand-ins for the target executable: the table's English texts as
// UTF-16LE amid filler that looks like an executable's data (binary noise,
// zero runs, other UTF-16LE words), placed as a test or benchmark needs.

#include <cstdint>
#include <string>
#include <vector>

namespace quorvale::sample {

enum class Placement {
    Start,   // texts packed near the beginning
    Spread,  // texts scattered over the whole file
    End,     // texts packed near the end: the worst case for a first-occurrence search
};

struct SampleOptions {
    std::uint64_t size = 256 * 1024;
    std::uint32_t seed = 1;
    Placement placement = Placement::Spread;
    bool oddOffsets = false;  // every text starts at an odd offset
    bool twice = false;       // every text occurs a second time, after the first
    std::size_t omitRow = 0;  // a row (from 1) whose English text is left out; 0 for none
};

struct PlacedText {
    std::uint64_t offset;
    std::string bytes;
};

// Where the texts go; the file is the filler with these written over it.
std::vector<PlacedText> PlanSample(const SampleOptions& options);

// The whole sample in memory (for small sizes).
std::string MakeSample(const SampleOptions& options);

// Writes the sample to `path` in bounded memory; false with `error` on failure.
bool WriteSample(const std::string& path, const SampleOptions& options, std::string& error);

}  // namespace quorvale::sample
