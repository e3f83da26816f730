// quorvale-patch as a script meets it: a real process, its output and status.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>

#include "sample/SampleTarget.h"
#include "tests/support/TestFiles.h"

namespace quorvale {
namespace {

struct ToolRun {
    int status;
    std::string output;
};

ToolRun RunTool(const std::string& arguments) {
    std::string command = std::string(QUORVALE_PATCH_PROGRAM) + " " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
    int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteBytes(folder_ / "good.exe", sample::MakeSample({}));
        test::WriteBytes(folder_ / "lacks9.exe", sample::MakeSample({.omitRow = 9}));
        test::WriteBytes(folder_ / "updated.exe", sample::MakeSample({}));
        ASSERT_EQ(RunTool(Quoted("updated.exe")).status, 0);
    }
    std::string Quoted(const std::string& name) const { return "'" + test::Utf8(folder_ / name) + "'"; }

    test::TempFolder folder_;
};

TEST_F(CommandLine, ExitStatusAndMessageNameEachOutcome) {
    struct Case {
        std::string arguments;
        int status;
        std::string saying;
    };
    const Case cases[] = {
        {"", 64, "no file given"},
        {"--frobnicate x", 64, "unknown option --frobnicate"},
        {"--help", 0, "Usage: quorvale-patch"},
        {"--check " + Quoted("good.exe"), 0, "the update would complete"},
        {"--check " + Quoted("missing.exe"), 2, "File Path is Invalid.  Enter correct path and try again."},
        {"--check " + Quoted("lacks9.exe"), 3, "English text missing in rows: 9."},
        {"--check " + Quoted("updated.exe"), 3, "The file looks already updated"},
        {"--check " + Quoted("good.exe") + " " + Quoted("lacks9.exe") + " " + Quoted("missing.exe"), 3,
         "good.exe: All"},
        {Quoted("good.exe"), 0, "good.exe: Update is complete!"},
        {Quoted("good.exe"), 3, "Can not update now.  Program has already been updated or File Path is invalid."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("quorvale-patch " + c.arguments);
        ToolRun run = RunTool(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.output.find(c.saying), std::string::npos) << run.output;
    }
}

TEST_F(CommandLine, CheckWritesNothingAndAFailureIsReportedAsSuch) {
    const std::string before = test::ReadBytes(folder_ / "good.exe");
    ASSERT_EQ(RunTool("--check " + Quoted("good.exe")).status, 0);
    EXPECT_TRUE(test::ReadBytes(folder_ / "good.exe") == before);

    ASSERT_EQ(::chmod(test::Utf8(folder_ / "good.exe").c_str(), 0444), 0);
    ToolRun run = RunTool(Quoted("good.exe"));
    EXPECT_EQ(run.status, 4);
    EXPECT_NE(run.output.find("not read-only"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("The file was left unchanged."), std::string::npos) << run.output;
    EXPECT_TRUE(test::ReadBytes(folder_ / "good.exe") == before);
}

}  // namespace
}  // namespace quorvale
