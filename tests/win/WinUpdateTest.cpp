// What differs on Windows: device names, wide paths, file attributes, and
// files other programs hold open.

#include <windows.h>

#include <gtest/gtest.h>

#include "patch/RunUpdate.h"
#include "sample/SampleTarget.h"
#include "tests/support/ReferenceUpdate.h"
#include "tests/support/TestFiles.h"

namespace quorvale {
namespace {

using test::ReadBytes;

class WinUpdate : public ::testing::Test {
protected:
    std::string Target(const std::string& name) {
        target_ = folder_ / name;
        test::WriteBytes(target_, original_);
        return test::Utf8(target_);
    }

    test::TempFolder folder_;
    std::filesystem::path target_;
    const std::string original_ = sample::MakeSample({});
};

TEST_F(WinUpdate, DevicesAndFoldersAreNotFiles) {
    Target("Quorvale.exe");  // so that only the quotes make its quoted path wrong
    const std::string paths[] = {
        "",
        "   ",
        "\"" + test::Utf8(folder_ / "Quorvale.exe") + "\"",
        "CON",
        "NUL",
        "nul.txt",
        "aux",
        "COM1",
        "LPT1:",
        "CONIN$",
        test::Utf8(folder_ / "con"),
        "\\\\.\\PhysicalDrive0",
        "\\\\.\\C:",
        "\\\\?\\GLOBALROOT\\Device\\Null",
        "C:\\",
        "C:\\windows",
        test::Utf8(folder_.Path()),
        "C:\\no such folder\\Quorvale.exe",
        "C:\\bad<name>.exe",
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE("path '" + path + "'");
        EXPECT_EQ(RunUpdate(path).kind, UpdateOutcome::PathInvalid);
    }
}

TEST_F(WinUpdate, UpdatesAFileWithANonAsciiNameAndKeepsItsAttributes) {
    const std::string path = Target(
        "Quorvale \xC3\xB1"
        "and\xC3\xBA \xE6\x97\xA5\xE6\x9C\xAC.exe");
    ASSERT_TRUE(SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_EQ(RunUpdate(path).kind, UpdateOutcome::Completed);
    EXPECT_TRUE(ReadBytes(target_) == test::ReferenceUpdate(original_).content);
    EXPECT_TRUE(GetFileAttributesW(target_.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(folder_.EntryCount(), 1u) << "no temporary or backup file may be left";
}

TEST_F(WinUpdate, AReadOnlyFileIsAccessDeniedAndUnchanged) {
    const std::string path = Target("Quorvale.exe");
    ASSERT_TRUE(SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_READONLY));
    UpdateOutcome outcome = RunUpdate(path);
    ASSERT_EQ(outcome.kind, UpdateOutcome::IoFailed);
    EXPECT_EQ(outcome.ioError->kind, platform::IoErrorKind::AccessDenied);
    SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(ReadBytes(target_) == original_);
    EXPECT_EQ(folder_.EntryCount(), 1u);
}

TEST_F(WinUpdate, AFileAnotherProgramHoldsIsInUseAndUnchanged) {
    const std::string path = Target("Quorvale.exe");
    struct Holder {
        DWORD share;
    };
    for (Holder holder : {Holder{0}, Holder{FILE_SHARE_READ}}) {
        SCOPED_TRACE("held with share mode " + std::to_string(holder.share));
        HANDLE held = CreateFileW(target_.c_str(), GENERIC_READ, holder.share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        UpdateOutcome outcome = RunUpdate(path);
        CloseHandle(held);
        ASSERT_EQ(outcome.kind, UpdateOutcome::IoFailed);
        EXPECT_EQ(outcome.ioError->kind, platform::IoErrorKind::InUse) << outcome.ioError->systemText;
        EXPECT_TRUE(ReadBytes(target_) == original_);
        EXPECT_EQ(folder_.EntryCount(), 1u);
    }
}

// The command-line tool, as a script on Windows runs it.
TEST_F(WinUpdate, TheCommandLineToolUpdatesAFile) {
    Target("Quorvale.exe");
    std::wstring commandLine =
        L"\"" + test::PathForWine(QUORVALE_PATCH_PROGRAM) + L"\" \"" + std::wstring(target_.wstring()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, 30000);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(ReadBytes(target_) == test::ReferenceUpdate(original_).content);
}

}  // namespace
}  // namespace quorvale
