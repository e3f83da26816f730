#pragma once
// The update of one target file, all or nothing.

#include <string>

#include "patch/UpdateOutcome.h"

namespace quorvale {

// Replaces, in order, the first occurrence of each row's widened English text
// by its Spanish text, and rewrites the file only if every row was found.
// `path` is UTF-8, used exactly as typed.
UpdateOutcome RunUpdate(const std::string& path);

// The same checks and search as RunUpdate, writing nothing.
UpdateOutcome CheckUpdate(const std::string& path);

}  // namespace quorvale
