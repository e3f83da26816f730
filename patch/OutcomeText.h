#pragma once
// What a user is told about an outcome: the title and text of its message.

#include <string>

#include "patch/UpdateOutcome.h"

namespace quorvale {

struct OutcomeMessage {
    std::string title;
    std::string text;
};

inline constexpr const char* kProductTitle = "Quorvale 2000";

OutcomeMessage DescribeOutcome(const UpdateOutcome& outcome);

}  // namespace quorvale
