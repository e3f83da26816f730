#pragma once
// The English texts the target stores and the Spanish texts that replace them.
// Texts are Latin-1: one character per byte, as the update sees the target.

#include <array>
#include <cstddef>
#include <string>

namespace quorvale {

struct PatchRow {
    std::string english;
    std::string spanish;
};

inline constexpr std::size_t kPatchRowCount = 18;

// Rows in the order they are applied: row 1 is element 0. Longer texts that
// contain a later row's text come first, so the order matters.
const std::array<PatchRow, kPatchRowCount>& PatchTable();

}  // namespace quorvale
