#include "patch/Diagnosis.h"

#include <algorithm>

#include "patch/FileContent.h"
#include "patch/Global.h"
#include "patch/OccurrenceScan.h"
#include "patch/PatchTable.h"

namespace quorvale {

TargetDiagnosis DiagnoseContent(const ContentSource& content) {
    // English texts first, then the Spanish ones as an update writes them.
    std::vector<std::string> patterns;
    for (const PatchRow& row : PatchTable()) patterns.push_back(WidenText(row.english));
    for (const PatchRow& row : PatchTable()) {
        std::string spanish = WidenText(row.spanish);
        spanish.resize(std::min(spanish.size(), row.english.size() * 2));
        patterns.push_back(spanish);
    }
    Occurrences found = FindOccurrences(content, MultiPatternScanner(patterns), 0, 1);
    TargetDiagnosis diagnosis;
    diagnosis.readError = found.error;
    if (found.error) return diagnosis;
    for (std::size_t row = 0; row < kPatchRowCount; ++row) {
        if (found.offsets[row].empty()) diagnosis.rowsWithoutEnglish.push_back(row + 1);
    }
    diagnosis.looksUpdated = std::all_of(found.offsets.begin() + kPatchRowCount, found.offsets.end(),
                                         [](const auto& offsets) { return !offsets.empty(); });
    return diagnosis;
}

TargetDiagnosis DiagnoseTarget(const std::string& path) {
    platform::TargetFile file;
    if (!file.Open(path).opened) return {};
    return DiagnoseContent(FileContent(file));
}

}  // namespace quorvale
