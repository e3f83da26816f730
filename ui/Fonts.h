#pragma once

#include <windows.h>

#include "ui/FormLayout.h"

namespace quorvale::ui {

// A font for `spec` at `dpi`; the designed face where it is installed,
// otherwise the closest installed face of the same kind.
HFONT CreateSpecFont(const FontSpec& spec, int dpi);

}  // namespace quorvale::ui
