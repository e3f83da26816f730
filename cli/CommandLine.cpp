#include "cli/CommandLine.h"

#include <string_view>

#include "patch/Diagnosis.h"
#include "patch/OutcomeText.h"
#include "patch/RunUpdate.h"
#include "platform/Console.h"

namespace quorvale::cli {
namespace {

using platform::WriteLine;

constexpr std::string_view kUsage =
    "Usage: quorvale-patch [--check] PATH...\n"
    "\n"
    "Applies the Spanish language patch to each Quorvale 2000 executable in turn.\n"
    "A file is rewritten only when all 18 English texts are found in it; otherwise\n"
    "it is left exactly as it was. The replace is atomic: the file is either fully\n"
    "updated or unchanged, whatever happens.\n"
    "\n"
    "  --check   only report whether each update would complete; write nothing.\n"
    "            A file that would not is told which rows' English texts it lacks,\n"
    "            and whether it looks already updated.\n"
    "  --help    show this text.\n"
    "  --        treat every later argument as a path.\n"
    "\n"
    "Exit status: 0 every file completed (or would), 2 a path is not a valid file,\n"
    "3 a text is missing, 4 reading or writing failed, 64 a usage error.\n"
    "With several files, the status is that of the first that failed.";

int ExitCodeOf(UpdateOutcome::Kind kind) {
    switch (kind) {
        case UpdateOutcome::Completed:
            return kExitCompleted;
        case UpdateOutcome::PathInvalid:
            return kExitPathInvalid;
        case UpdateOutcome::TextMissing:
            return kExitTextMissing;
        case UpdateOutcome::IoFailed:
            return kExitIoFailed;
    }
    return kExitIoFailed;
}

// The window's messages break into paragraphs; a script wants one line.
std::string OneLine(const std::string& text) {
    std::string line;
    for (char c : text) {
        if (c != '\n')
            line += c;
        else if (!line.empty() && line.back() != ' ')
            line += ' ';
    }
    return line;
}

std::string JoinRows(const std::vector<std::size_t>& rows) {
    std::string joined;
    for (std::size_t row : rows) joined += (joined.empty() ? "" : ", ") + std::to_string(row);
    return joined;
}

void ExplainMissingTexts(const std::string& path, const UpdateOutcome& outcome) {
    TargetDiagnosis diagnosis = DiagnoseTarget(path);
    if (diagnosis.looksUpdated) {
        WriteLine("  The file looks already updated: the Spanish texts are there instead of the English ones.");
    }
    if (!diagnosis.rowsWithoutEnglish.empty()) {
        WriteLine("  English text missing in rows: " + JoinRows(diagnosis.rowsWithoutEnglish) + ".");
    } else if (!diagnosis.readError) {
        WriteLine("  Every English text occurs, but row " + std::to_string(outcome.missingRow) +
                  "'s occurs only inside a longer text that an earlier row replaces.");
    }
}

int ProcessFile(const std::string& path, bool checkOnly) {
    UpdateOutcome outcome = checkOnly ? CheckUpdate(path) : RunUpdate(path);
    std::string message = OneLine(DescribeOutcome(outcome).text);
    if (checkOnly && outcome.kind == UpdateOutcome::Completed)
        message = "All 18 texts found: the update would complete.";
    if (outcome.kind == UpdateOutcome::PathInvalid) message += " (" + outcome.pathProblem + ")";
    WriteLine(path + ": " + message);
    if (checkOnly && outcome.kind == UpdateOutcome::TextMissing) ExplainMissingTexts(path, outcome);
    return ExitCodeOf(outcome.kind);
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments) {
    bool checkOnly = false;
    bool optionsEnded = false;
    std::vector<std::string> paths;
    for (const std::string& argument : arguments) {
        if (optionsEnded || argument.empty() || argument[0] != '-') {
            paths.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--check") {
            checkOnly = true;
        } else if (argument == "--help" || argument == "-h") {
            WriteLine(kUsage);
            return kExitCompleted;
        } else {
            WriteLine("quorvale-patch: unknown option " + argument + "\n\n" + std::string(kUsage), true);
            return kExitUsage;
        }
    }
    if (paths.empty()) {
        WriteLine("quorvale-patch: no file given\n\n" + std::string(kUsage), true);
        return kExitUsage;
    }
    int status = kExitCompleted;
    for (const std::string& path : paths) {
        int fileStatus = ProcessFile(path, checkOnly);
        if (status == kExitCompleted) status = fileStatus;
    }
    return status;
}

}  // namespace quorvale::cli
