#include "tests/support/ReferenceUpdate.h"

#include <algorithm>

#include "patch/Global.h"
#include "patch/PatchTable.h"
#include "patch/UpdatePlan.h"

namespace quorvale::test {

std::string WideEnglish(std::size_t row) {
    return WidenText(PatchTable()[row - 1].english);
}

std::string WideSpanishAsWritten(std::size_t row) {
    std::string spanish = WidenText(PatchTable()[row - 1].spanish);
    spanish.resize(std::min(spanish.size(), WideEnglish(row).size()));
    return spanish;
}

ReferenceResult ReferenceUpdate(const std::string& original) {
    std::string content = original;
    for (std::size_t row = 1; row <= kPatchRowCount; ++row) {
        std::size_t at = content.find(WideEnglish(row));
        if (at == std::string::npos) return {row, original};
        std::string spanish = WideSpanishAsWritten(row);
        content.replace(at, spanish.size(), spanish);
    }
    return {0, content};
}

std::string ApplyEnginePlan(const std::string& content, std::size_t* missingRow, std::size_t keptOccurrences) {
    UpdatePlan plan = PlanUpdate(MemoryContent(content), keptOccurrences);
    *missingRow = plan.missingRow;
    std::string updated = content;
    for (const platform::ByteEdit& edit : plan.edits) {
        updated.replace(static_cast<std::size_t>(edit.offset), edit.bytes.size(), edit.bytes);
    }
    return updated;
}

}  // namespace quorvale::test
