#include "patch/OutcomeText.h"

namespace quorvale {
namespace {

using platform::IoErrorKind;
using platform::IoStep;

const char* StepInWords(IoStep step) {
    switch (step) {
        case IoStep::Read:
            return "Reading the file failed";
        case IoStep::OpenForWriting:
            return "The file could not be opened for writing";
        case IoStep::CreateTemporary:
            return "A temporary file could not be created beside it";
        case IoStep::Write:
            return "Writing the updated copy failed";
        case IoStep::Flush:
            return "Saving the updated copy to disk failed";
        case IoStep::CheckUnchanged:
            return "The file could not be checked before replacing it";
        case IoStep::Replace:
            return "Replacing the file with the updated copy failed";
    }
    return "The update failed";
}

const char* AdviceFor(IoErrorKind kind) {
    switch (kind) {
        case IoErrorKind::AccessDenied:
            return "Run this program as administrator, or check that the file and its folder are not read-only.";
        case IoErrorKind::InUse:
            return "Close the program that is using the file first, then try again.";
        case IoErrorKind::DiskFull:
            return "Free some space on the disk, then try again.";
        case IoErrorKind::ChangedMeanwhile:
            return "Another program changed the file during the update; try again.";
        case IoErrorKind::Other:
            return "Try again.";
    }
    return "Try again.";
}

}  // namespace

OutcomeMessage DescribeOutcome(const UpdateOutcome& outcome) {
    switch (outcome.kind) {
        case UpdateOutcome::PathInvalid:
            return {"Error", "File Path is Invalid.  Enter correct path and try again."};
        case UpdateOutcome::TextMissing:
            return {kProductTitle, "Can not update now.  Program has already been updated or File Path is invalid."};
        case UpdateOutcome::Completed:
            return {kProductTitle, "Update is complete!"};
        case UpdateOutcome::IoFailed:
            break;
    }
    const platform::IoError& error = *outcome.ioError;
    std::string cause = error.systemText;
    if (!cause.empty() && cause.back() != '.') cause += '.';
    return {"Error", std::string(StepInWords(error.step)) + ": " + cause + "\n\n" + AdviceFor(error.kind) +
                         "\n\nThe file was left unchanged."};
}

}  // namespace quorvale
