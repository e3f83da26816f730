#pragma once
// The update done the plainest way: eighteen searches from the first byte,
// each on the content as the earlier rows left it. The engine must agree
// with it byte for byte.

#include <cstddef>
#include <string>

namespace quorvale::test {

struct ReferenceResult {
    std::size_t missingRow = 0;  // 0 when every row was found
    std::string content;         // the updated content, or the original when a row is missing
};

ReferenceResult ReferenceUpdate(const std::string& original);

// `content` with the engine's planned edits written over it.
std::string ApplyEnginePlan(const std::string& content, std::size_t* missingRow, std::size_t keptOccurrences);

// Widened English / Spanish text of a row (from 1), the Spanish cut as written.
std::string WideEnglish(std::size_t row);
std::string WideSpanishAsWritten(std::size_t row);

}  // namespace quorvale::test
