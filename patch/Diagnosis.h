#pragma once
// Why a file would not update: which English texts it lacks, and whether the
// Spanish texts are there instead (the file was updated before).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "patch/ContentSource.h"

namespace quorvale {

struct TargetDiagnosis {
    std::optional<platform::IoError> readError;
    std::vector<std::size_t> rowsWithoutEnglish;  // row numbers from 1
    bool looksUpdated = false;                    // every row's Spanish text occurs
};

TargetDiagnosis DiagnoseContent(const ContentSource& content);

// The same for a file; one that no longer opens gives an empty diagnosis.
TargetDiagnosis DiagnoseTarget(const std::string& path);

}  // namespace quorvale
