#include "sample/SampleTarget.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <random>
#include <stdexcept>

#include "patch/Global.h"
#include "patch/PatchTable.h"

namespace quorvale::sample {
namespace {

constexpr std::uint64_t kBlock = 64 * 1024;
constexpr std::uint64_t kHeaderBytes = 512;

// Words an executable might hold; several share their first letters with the
// table's texts, to exercise the search's candidate checks. None contains a
// whole English text of the table.
constexpr std::array<const char*, 16> kWords = {"Window", "Program", "Control",     "Syntax", "Column", "Prompted",
                                                "Entry",  "Display", "Source",      "Member", "Submit", "Factor",
                                                "Record", "Printer", "Workstation", "Systems"};

std::string Header() {
    std::string header(kHeaderBytes, '\0');
    const std::string stub = "MZ\x90";
    const std::string notice = "This program cannot be run in DOS mode.\r\r\n$";
    header.replace(0, stub.size(), stub);
    header.replace(0x4E, notice.size(), notice);
    header.replace(0x80, 4, std::string("PE\0\0", 4));
    return header;
}

// The filler of one block, the same for the same seed and block whatever
// else is asked, so a file can be made a block at a time.
void FillBlock(std::uint32_t seed, std::uint64_t block, std::string& out) {
    std::mt19937_64 random(seed * 0x9E3779B97F4A7C15ULL + block);
    out.clear();
    while (out.size() < kBlock) {
        switch (random() % 4) {
            case 0:
                out.append(random() % 64, '\0');
                break;
            case 1:
                out += WidenText(kWords[random() % kWords.size()]) + WidenText(" ");
                break;
            default:
                for (int n = static_cast<int>(random() % 48); n > 0; --n) out.push_back(static_cast<char>(random()));
        }
    }
    out.resize(kBlock);
}

}  // namespace

std::vector<PlacedText> PlanSample(const SampleOptions& options) {
    std::vector<std::string> texts;
    for (int copy = 0; copy < (options.twice ? 2 : 1); ++copy) {
        for (std::size_t row = 0; row < kPatchRowCount; ++row) {
            if (row + 1 != options.omitRow) texts.push_back(WidenText(PatchTable()[row].english));
        }
    }
    // Each text gets a random gap of filler before it, and one byte more
    // where its parity needs it.
    std::uint64_t textBytes = 0;
    for (const std::string& text : texts) textBytes += text.size();
    const std::uint64_t count = texts.size();
    const std::uint64_t fixed = kHeaderBytes + textBytes + count;
    if (options.size < fixed + count) throw std::invalid_argument("sample size too small for its texts");
    const std::uint64_t spare = (options.size - fixed) / count;
    const std::uint64_t gapRoom = options.placement == Placement::Spread ? spare : std::min<std::uint64_t>(256, spare);
    std::mt19937_64 random(options.seed);
    std::uint64_t offset =
        options.placement == Placement::End ? options.size - textBytes - count * (gapRoom + 1) : kHeaderBytes;
    std::vector<PlacedText> placed;
    for (std::string& text : texts) {
        offset += random() % gapRoom;
        if ((offset % 2 == 1) != options.oddOffsets) ++offset;
        placed.push_back({offset, text});
        offset += text.size();
    }
    return placed;
}

namespace {

void Overlay(std::string& chunk, std::uint64_t chunkStart, const std::vector<PlacedText>& placed) {
    if (chunkStart == 0) chunk.replace(0, kHeaderBytes, Header());
    for (const PlacedText& text : placed) {
        std::uint64_t from = std::max(chunkStart, text.offset);
        std::uint64_t to = std::min(chunkStart + chunk.size(), text.offset + text.bytes.size());
        for (std::uint64_t at = from; at < to; ++at) chunk[at - chunkStart] = text.bytes[at - text.offset];
    }
}

}  // namespace

std::string MakeSample(const SampleOptions& options) {
    const std::vector<PlacedText> placed = PlanSample(options);
    std::string content, block;
    for (std::uint64_t start = 0; start < options.size; start += kBlock) {
        FillBlock(options.seed, start / kBlock, block);
        content += block;
    }
    content.resize(options.size);
    Overlay(content, 0, placed);
    return content;
}

bool WriteSample(const std::string& path, const SampleOptions& options, std::string& error) {
    std::vector<PlacedText> placed;
    try {
        placed = PlanSample(options);
    } catch (const std::invalid_argument& invalid) {
        error = invalid.what();
        return false;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string block;
    for (std::uint64_t start = 0; out && start < options.size; start += kBlock) {
        FillBlock(options.seed, start / kBlock, block);
        block.resize(static_cast<std::size_t>(std::min(kBlock, options.size - start)));
        Overlay(block, start, placed);
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
    out.close();
    if (!out) error = "cannot write " + path;
    return static_cast<bool>(out);
}

}  // namespace quorvale::sample
