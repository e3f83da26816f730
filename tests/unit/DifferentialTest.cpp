// The engine's one-pass search against the plain eighteen scans, on contents
// built to make rows collide: texts overlapping, cut short, repeated, at odd
// offsets, and padded with blank runs that earlier replacements lengthen or
// shorten.

#include <gtest/gtest.h>

#include <random>

#include "patch/Global.h"
#include "patch/OccurrenceScan.h"
#include "patch/PatchTable.h"
#include "tests/support/ReferenceUpdate.h"

namespace quorvale {
namespace {

using test::ApplyEnginePlan;
using test::ReferenceUpdate;

std::string RandomPiece(std::mt19937& random) {
    const PatchRow& row = PatchTable()[random() % kPatchRowCount];
    const std::string& text = random() % 4 == 0 ? row.spanish : row.english;
    switch (random() % 7) {
        case 0:
            return WidenText(text);
        case 1:
            return WidenText(text.substr(random() % text.size()));  // a tail
        case 2:
            return WidenText(text.substr(0, 1 + random() % text.size()));  // a head
        case 3:
            return WidenText(std::string(random() % 70, ' '));
        case 4:
            return std::string(1 + random() % 3, static_cast<char>(random()));  // shifts the parity
        case 5:
            return std::string(random() % 5, '\0');
        default:
            return WidenText(text) + WidenText(text);
    }
}

std::string RandomContent(std::mt19937& random, std::size_t pieces) {
    std::string content;
    for (std::size_t i = 0; i < pieces; ++i) content += RandomPiece(random);
    return content;
}

void ExpectEngineMatchesReference(const std::string& content, std::size_t kept) {
    test::ReferenceResult expected = ReferenceUpdate(content);
    std::size_t missingRow = 0;
    std::string updated = ApplyEnginePlan(content, &missingRow, kept);
    ASSERT_EQ(missingRow, expected.missingRow);
    if (missingRow == 0) {
        ASSERT_TRUE(updated == expected.content);
    }
}

TEST(Differential, EngineAgreesWithThePlainAlgorithmOnCollidingTexts) {
    std::mt19937 random(20261211);
    int completed = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string content = RandomContent(random, 20 + random() % 120);
        // Many rounds should complete, so the replacements themselves are compared.
        if (round % 2 == 0) {
            for (const PatchRow& row : PatchTable()) content += RandomPiece(random) + WidenText(row.english);
        }
        SCOPED_TRACE("round " + std::to_string(round));
        // One kept occurrence forces the resumed search; eight is the default.
        for (std::size_t kept : {std::size_t{1}, std::size_t{8}}) ExpectEngineMatchesReference(content, kept);
        completed += ReferenceUpdate(content).missingRow == 0;
    }
    EXPECT_GT(completed, 1000);
}

// The vector loops and the plain byte loop find the same occurrences.
TEST(Differential, EveryScanMethodFindsTheSameOccurrences) {
    std::vector<std::string> patterns;
    for (std::size_t row = 1; row <= kPatchRowCount; ++row) patterns.push_back(test::WideEnglish(row));
    std::mt19937 random(99);
    for (int round = 0; round < 300; ++round) {
        const std::string content = RandomContent(random, 200);
        std::vector<std::vector<std::uint64_t>> results;
        for (ScanMethod method : {ScanMethod::Fastest, ScanMethod::Sse2, ScanMethod::Bytewise}) {
            std::vector<std::uint64_t> flat;
            for (const auto& offsets :
                 FindOccurrences(MemoryContent(content), MultiPatternScanner(patterns, method), 0, 1000).offsets) {
                flat.insert(flat.end(), offsets.begin(), offsets.end());
                flat.push_back(~std::uint64_t{0});  // ends one pattern's list
            }
            results.push_back(flat);
        }
        ASSERT_EQ(results[0], results[1]);
        ASSERT_EQ(results[0], results[2]);
    }
}

// The streamed search reads in windows of 1 MiB that overlap; texts that
// straddle every boundary must still be found once, in the right order.
TEST(Differential, TextsAcrossReadWindowBoundaries) {
    constexpr std::size_t kWindow = 1 << 20;
    std::mt19937 random(7);
    for (std::size_t shift : {0, 1, 2, 77, 159}) {
        std::string content(3 * kWindow + 4096, 'x');
        std::size_t row = 1;
        for (std::size_t boundary = kWindow; boundary < content.size() && row <= kPatchRowCount; boundary += kWindow) {
            for (int i = 0; i < 6 && row <= kPatchRowCount; ++i, ++row) {
                const std::string text = test::WideEnglish(row);
                std::size_t at = boundary - text.size() + shift + static_cast<std::size_t>(i) * 400;
                content.replace(at, text.size(), text);
            }
        }
        SCOPED_TRACE("shift " + std::to_string(shift));
        ExpectEngineMatchesReference(content, 8);
    }
}

}  // namespace
}  // namespace quorvale
