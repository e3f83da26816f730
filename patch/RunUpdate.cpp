#include "patch/RunUpdate.h"

#include "patch/FileContent.h"
#include "patch/UpdatePlan.h"

namespace quorvale {
namespace {

enum class Mode { Write, CheckOnly };

UpdateOutcome Update(const std::string& path, Mode mode) {
    platform::TargetFile file;
    platform::OpenResult opened = file.Open(path);
    if (opened.failure) return UpdateOutcome::Failed(*opened.failure);
    if (!opened.opened) return UpdateOutcome::InvalidPath(opened.refusal);

    UpdatePlan plan = PlanUpdate(FileContent(file));
    if (plan.readError) return UpdateOutcome::Failed(*plan.readError);
    if (!plan.Complete()) return UpdateOutcome::MissingText(plan.missingRow);
    if (mode == Mode::CheckOnly) return UpdateOutcome::Done();

    if (auto error = file.ReplaceWithEdits(plan.edits)) return UpdateOutcome::Failed(*error);
    return UpdateOutcome::Done();
}

}  // namespace

UpdateOutcome RunUpdate(const std::string& path) { return Update(path, Mode::Write); }

UpdateOutcome CheckUpdate(const std::string& path) { return Update(path, Mode::CheckOnly); }

}  // namespace quorvale
