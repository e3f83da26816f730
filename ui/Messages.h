#pragma once
// The texts of the start-up guard; the update's texts come with its outcome.

namespace quorvale::ui {

inline constexpr const wchar_t* kAlreadyRunningText = L"Quorvale 2000 should not be running at this time.";

}  // namespace quorvale::ui
