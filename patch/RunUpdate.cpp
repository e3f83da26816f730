#include "patch/RunUpdate.h"

#include <atomic>
#include <future>
#include <system_error>

#include "patch/FileContent.h"
#include "patch/UpdatePlan.h"

namespace quorvale {
namespace {

using platform::IoError;
using platform::Replacement;

// The copy that will replace the target is written while the search runs,
// on a second thread, so an update costs little more than the copy itself.
// If the search then finds a text missing, the copy is simply removed.
class OverlappedCopy {
public:
    explicit OverlappedCopy(platform::TargetFile& file) : replacement_(file) {
        createError_ = replacement_.Create();
        if (createError_) return;
        try {
            copying_ = std::async(std::launch::async, [this] { return replacement_.CopyContent(cancelled_); });
        } catch (const std::system_error&) {
            // No thread to be had: copy once the search is done instead.
        }
    }
    // A copy still running is stopped: the update will not use it.
    ~OverlappedCopy() {
        cancelled_ = true;
        if (copying_.valid()) copying_.wait();
    }

    // Waits for the copy (once); the first failure of creating or copying, if any.
    std::optional<IoError> Finish() {
        if (createError_) return createError_;
        return copying_.valid() ? copying_.get() : replacement_.CopyContent(cancelled_);
    }

    Replacement& Target() { return replacement_; }

private:
    Replacement replacement_;
    std::atomic<bool> cancelled_ = false;
    std::optional<IoError> createError_;
    std::future<std::optional<IoError>> copying_;
};

UpdateOutcome Update(const std::string& path, bool write) {
    platform::TargetFile file;
    platform::OpenResult opened = file.Open(path);
    if (opened.failure) return UpdateOutcome::Failed(*opened.failure);
    if (!opened.opened) return UpdateOutcome::InvalidPath(opened.refusal);

    std::optional<OverlappedCopy> copy;
    if (write) copy.emplace(file);
    UpdatePlan plan = PlanUpdate(FileContent(file));
    if (plan.readError) return UpdateOutcome::Failed(*plan.readError);
    if (!plan.Complete()) return UpdateOutcome::MissingText(plan.missingRow);
    if (!write) return UpdateOutcome::Done();
    if (auto copyError = copy->Finish()) return UpdateOutcome::Failed(*copyError);
    if (auto error = copy->Target().Commit(plan.edits)) return UpdateOutcome::Failed(*error);
    return UpdateOutcome::Done();
}

}  // namespace

UpdateOutcome RunUpdate(const std::string& path) {
    return Update(path, true);
}

UpdateOutcome CheckUpdate(const std::string& path) {
    return Update(path, false);
}

}  // namespace quorvale
