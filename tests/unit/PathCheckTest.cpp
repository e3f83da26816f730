// Paths a user can type that name no regular file: each is refused before
// anything is read or written, and none can make the update hang.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "patch/RunUpdate.h"
#include "tests/support/TestFiles.h"

namespace quorvale {
namespace {

class PathCheck : public ::testing::Test {
protected:
    std::string In(const std::string& name) const { return test::Utf8(folder_ / name); }
    test::TempFolder folder_;
};

TEST_F(PathCheck, RefusesEverythingButARegularFile) {
    ASSERT_EQ(::mkfifo(In("fifo").c_str(), 0600), 0);
    int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", In("socket").c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::filesystem::create_symlink(folder_ / "nowhere", folder_ / "dangling");
    std::filesystem::create_symlink(folder_ / "loop-b", folder_ / "loop-a");
    std::filesystem::create_symlink(folder_ / "loop-a", folder_ / "loop-b");

    const std::string paths[] = {
        "",
        " ",
        In("missing.exe"),
        folder_.Path().string(),
        folder_.Path().string() + "/",
        "/dev/zero",
        "/dev/null",
        "/dev/stdin",
        In("fifo"),
        In("socket"),
        In("dangling"),
        In("loop-a"),
        In(std::string(300, 'n')),
        std::string("/etc/hostname\0.exe", 18),
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE("path '" + path + "'");
        UpdateOutcome outcome = RunUpdate(path);
        EXPECT_EQ(outcome.kind, UpdateOutcome::PathInvalid);
        EXPECT_FALSE(outcome.pathProblem.empty());
    }
    ::close(listener);
}

TEST_F(PathCheck, TakesThePathExactlyAsTyped) {
    test::WriteBytes(folder_ / "Quorvale.exe", "no texts here");
    EXPECT_EQ(RunUpdate(In("Quorvale.exe")).kind, UpdateOutcome::TextMissing);
    EXPECT_EQ(RunUpdate(" " + In("Quorvale.exe")).kind, UpdateOutcome::PathInvalid);
    EXPECT_EQ(RunUpdate(In("Quorvale.exe") + " ").kind, UpdateOutcome::PathInvalid);
    EXPECT_EQ(RunUpdate("\"" + In("Quorvale.exe") + "\"").kind, UpdateOutcome::PathInvalid);
    EXPECT_EQ(RunUpdate(In("Quorvale")).kind, UpdateOutcome::PathInvalid);

    test::WriteBytes(folder_ /
                         "Quorvale \xC3\xB1"
                         "and\xC3\xBA \xE6\x97\xA5\xE6\x9C\xAC.exe",
                     "no texts here");
    EXPECT_EQ(RunUpdate(In("Quorvale \xC3\xB1"
                           "and\xC3\xBA \xE6\x97\xA5\xE6\x9C\xAC.exe"))
                  .kind,
              UpdateOutcome::TextMissing);
}

}  // namespace
}  // namespace quorvale
