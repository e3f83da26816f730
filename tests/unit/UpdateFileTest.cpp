// The update on real files: outcomes, exact bytes, and what is left on disk.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "patch/Global.h"
#include "patch/RunUpdate.h"
#include "sample/SampleTarget.h"
#include "tests/support/ReferenceUpdate.h"
#include "tests/support/TestFiles.h"

namespace quorvale {
namespace {

using sample::Placement;
using sample::SampleOptions;
using test::ReadBytes;
using test::ReferenceUpdate;
using test::WideEnglish;
using test::WriteBytes;

class UpdateFile : public ::testing::Test {
protected:
    std::string WriteTarget(const std::string& bytes) {
        WriteBytes(target_, bytes);
        return test::Utf8(target_);
    }

    test::TempFolder folder_;
    std::filesystem::path target_ = folder_ / "Quorvale.exe";
};

TEST_F(UpdateFile, CompletesExactlyAsThePlainAlgorithmWouldForEveryPlacement) {
    const SampleOptions samples[] = {
        {.size = 64 * 1024, .placement = Placement::Start},
        {.size = 64 * 1024, .placement = Placement::End},
        {.size = 3 * 1024 * 1024 + 7, .seed = 5, .placement = Placement::Spread},
        {.size = 64 * 1024, .seed = 2, .placement = Placement::Spread, .oddOffsets = true},
        {.size = 128 * 1024, .seed = 3, .placement = Placement::Spread, .twice = true},
    };
    for (const SampleOptions& options : samples) {
        SCOPED_TRACE("sample of " + std::to_string(options.size) + " bytes, seed " + std::to_string(options.seed));
        const std::string original = sample::MakeSample(options);
        const std::string path = WriteTarget(original);
        ASSERT_EQ(CheckUpdate(path).kind, UpdateOutcome::Completed);
        ASSERT_EQ(ReadBytes(target_), original) << "a check must write nothing";

        ASSERT_EQ(RunUpdate(path).kind, UpdateOutcome::Completed);
        const std::string updated = ReadBytes(target_);
        ASSERT_EQ(updated.size(), original.size());
        EXPECT_TRUE(updated == ReferenceUpdate(original).content);
        EXPECT_EQ(folder_.EntryCount(), 1u) << "no temporary file may be left";
    }
}

TEST_F(UpdateFile, WritesRowTenAndTheCutRowElevenByteForByte) {
    const std::string original = sample::MakeSample({.size = 64 * 1024});
    const std::size_t row10 = original.find(WideEnglish(10));
    const std::size_t row11 = original.find(WideEnglish(11));
    ASSERT_EQ(RunUpdate(WriteTarget(original)).kind, UpdateOutcome::Completed);
    const std::string updated = ReadBytes(target_);
    EXPECT_EQ(updated.substr(row10 + 8, 6), std::string("\x4D\0\xE1\0\x73\0", 6));
    EXPECT_EQ(updated.substr(row11, 30), WidenText("Spanish" + std::string(8, ' ')));
    EXPECT_EQ(updated[row11 + 30], original[row11 + 30]) << "the ninth blank must not be written";
}

TEST_F(UpdateFile, ReplacesOnlyTheFirstOfTwoOccurrences) {
    const std::string original = sample::MakeSample({.size = 64 * 1024, .twice = true});
    const std::size_t first = original.find(WideEnglish(1));
    const std::size_t second = original.find(WideEnglish(1), first + 1);
    ASSERT_NE(second, std::string::npos);
    ASSERT_EQ(RunUpdate(WriteTarget(original)).kind, UpdateOutcome::Completed);
    const std::string updated = ReadBytes(target_);
    EXPECT_EQ(updated.substr(first, 142), test::WideSpanishAsWritten(1));
    EXPECT_EQ(updated.substr(second, 142), WideEnglish(1));
    // Updated again, the second copies take their turn.
    ASSERT_EQ(RunUpdate(test::Utf8(target_)).kind, UpdateOutcome::Completed);
    EXPECT_EQ(ReadBytes(target_).substr(second, 142), test::WideSpanishAsWritten(1));
}

// A later row whose text lives only inside an earlier row's text is gone
// once that row is replaced; a missing row anywhere leaves the file alone.
TEST_F(UpdateFile, MissingTextLeavesTheFileUntouched) {
    struct Case {
        std::size_t omittedRow, missingRow;
    };
    const Case cases[] = {{1, 1}, {5, 5}, {7, 7}, {12, 12}, {14, 14}, {18, 18}};
    for (const Case& c : cases) {
        SCOPED_TRACE("row " + std::to_string(c.omittedRow) + " left out");
        const std::string original = sample::MakeSample({.size = 64 * 1024, .omitRow = c.omittedRow});
        UpdateOutcome outcome = RunUpdate(WriteTarget(original));
        EXPECT_EQ(outcome.kind, UpdateOutcome::TextMissing);
        EXPECT_EQ(outcome.missingRow, c.missingRow);
        EXPECT_TRUE(ReadBytes(target_) == original);
        EXPECT_EQ(folder_.EntryCount(), 1u);
    }
}

TEST_F(UpdateFile, ASecondRunOnAnUpdatedFileFindsTextsMissing) {
    ASSERT_EQ(RunUpdate(WriteTarget(sample::MakeSample({}))).kind, UpdateOutcome::Completed);
    const std::string updated = ReadBytes(target_);
    UpdateOutcome again = RunUpdate(test::Utf8(target_));
    EXPECT_EQ(again.kind, UpdateOutcome::TextMissing);
    EXPECT_EQ(again.missingRow, 1u);
    EXPECT_TRUE(ReadBytes(target_) == updated);
}

// Row 2's Spanish text ends in fewer blanks than its English one, so a row 17
// text whose blanks began inside row 2's text no longer exists afterwards.
TEST_F(UpdateFile, AnOccurrenceSpoiledByAnEarlierRowIsNotUsed) {
    std::string original = sample::MakeSample({.size = 64 * 1024, .omitRow = 17});
    const std::string row17Core = WidenText(std::string(44, ' ') + "System:   ");
    original.insert(original.find(WideEnglish(2)) + WideEnglish(2).size(), row17Core);
    ASSERT_NE(original.find(WideEnglish(17)), std::string::npos);
    UpdateOutcome outcome = RunUpdate(WriteTarget(original));
    EXPECT_EQ(outcome.kind, UpdateOutcome::TextMissing);
    EXPECT_EQ(outcome.missingRow, 17u);
    EXPECT_EQ(ReferenceUpdate(original).missingRow, 17u);
}

TEST_F(UpdateFile, KeepsPermissionsAndOffersNoWayIntoAReadOnlyFile) {
    const std::string original = sample::MakeSample({});
    const std::string path = WriteTarget(original);
    ASSERT_EQ(::chmod(path.c_str(), 0751), 0);
    ASSERT_EQ(RunUpdate(path).kind, UpdateOutcome::Completed);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0751u);

    WriteBytes(target_, original);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    UpdateOutcome outcome = RunUpdate(path);
    ASSERT_EQ(outcome.kind, UpdateOutcome::IoFailed);
    EXPECT_EQ(outcome.ioError->kind, platform::IoErrorKind::AccessDenied);
    EXPECT_TRUE(ReadBytes(target_) == original);
    EXPECT_EQ(folder_.EntryCount(), 1u);
}

TEST_F(UpdateFile, FollowsASymbolicLinkAndKeepsTheLink) {
    const std::string original = sample::MakeSample({});
    WriteTarget(original);
    const auto link = folder_ / "link.exe";
    std::filesystem::create_symlink(target_, link);
    ASSERT_EQ(RunUpdate(test::Utf8(link)).kind, UpdateOutcome::Completed);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(ReadBytes(target_) == ReferenceUpdate(original).content);
}

TEST_F(UpdateFile, AZeroByteFileHasNoTexts) {
    UpdateOutcome outcome = RunUpdate(WriteTarget(""));
    EXPECT_EQ(outcome.kind, UpdateOutcome::TextMissing);
    EXPECT_EQ(outcome.missingRow, 1u);
}

// Offsets past 4 GiB: a sparse file whose texts all lie beyond that mark.
TEST_F(UpdateFile, FindsTextsBeyondFourGibibytes) {
    const std::string texts = sample::MakeSample({.size = 64 * 1024, .placement = Placement::Start});
    const std::uint64_t offset = (std::uint64_t{4} << 30) + 3;
    WriteBytes(target_, "");
    std::filesystem::resize_file(target_, offset);
    {
        std::ofstream out(target_, std::ios::binary | std::ios::app);
        out.write(texts.data(), static_cast<std::streamsize>(texts.size()));
    }
    EXPECT_EQ(CheckUpdate(test::Utf8(target_)).kind, UpdateOutcome::Completed);
}

}  // namespace
}  // namespace quorvale
