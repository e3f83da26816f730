#pragma once
// What the main window looks like, as data: caption, size and controls,
// lengths in twips (1/1440 inch) as designed.

#include <array>

namespace quorvale::ui {

enum class ControlKind { PushButton, TextBox, Label };
enum class FontKind { Default, Monospaced, SansSerif };

struct FontSpec {
    FontKind kind;
    const wchar_t* face;  // the designed face; a face of the same kind stands in where it is missing
    int hundredthsOfPoint;
    bool bold;
};

// The controls by their names in the design; the values are their window ids.
enum class ControlId { cmdUpdate = 101, txtFilePath, lblWait, Label4, Label2 };

struct ControlSpec {
    ControlId id;
    ControlKind kind;
    int left, top, width, height;  // twips within the client area
    const wchar_t* text;
    FontSpec font;
    bool blueText;
    bool visible;
    int tabIndex;
};

inline constexpr const wchar_t* kCaption = L"[_ Quorvale 2000 _|";
inline constexpr int kClientWidthTwips = 6705;
inline constexpr int kClientHeightTwips = 2730;
inline constexpr int kTwipsPerInch = 1440;

// In the order the controls are created.
inline constexpr std::array<ControlSpec, 5> kControls = {{
    {ControlId::cmdUpdate,
     ControlKind::PushButton,
     2280,
     2160,
     1935,
     375,
     L"Perform Update",
     {FontKind::Default, nullptr, 0, false},
     false,
     true,
     3},
    {ControlId::txtFilePath,
     ControlKind::TextBox,
     240,
     1440,
     6255,
     375,
     L"C:\\Archivos de programa\\Quorvale\\Quorvale.exe",
     {FontKind::Monospaced, L"Courier New", 975, false},
     false,
     true,
     1},
    {ControlId::lblWait,
     ControlKind::Label,
     4560,
     2160,
     2055,
     255,
     L"Please Wait...",
     {FontKind::SansSerif, L"MS Sans Serif", 1200, true},
     false,
     false,
     4},
    {ControlId::Label4,
     ControlKind::Label,
     0,
     960,
     6735,
     375,
     L"Please Enter the Path of the Quorvale Executable Program:",
     {FontKind::Monospaced, L"Courier New", 825, false},
     true,
     true,
     2},
    {ControlId::Label2,
     ControlKind::Label,
     840,
     120,
     5415,
     495,
     L"Quorvale 2000 Spanish Language Patch",
     {FontKind::Monospaced, L"Courier New", 1125, true},
     true,
     true,
     0},
}};

}  // namespace quorvale::ui
