#include "ui/Fonts.h"

#include <cwchar>
#include <array>

namespace quorvale::ui {
namespace {

int CALLBACK NoteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool IsInstalled(const wchar_t* face) {
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(query.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &query, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// Stand-ins in order of likeness; the last resort is the font mapper's own
// pick for the pitch and family.
constexpr std::array<const wchar_t*, 5> kMonospacedStandIns = {L"Liberation Mono", L"Cousine", L"Consolas",
                                                               L"Lucida Console", L"Courier"};
constexpr std::array<const wchar_t*, 5> kSansSerifStandIns = {L"Microsoft Sans Serif", L"Tahoma", L"Arial",
                                                              L"Liberation Sans", L"DejaVu Sans"};

const wchar_t* InstalledFace(const FontSpec& spec) {
    if (IsInstalled(spec.face)) return spec.face;
    const auto& standIns = spec.kind == FontKind::Monospaced ? kMonospacedStandIns : kSansSerifStandIns;
    for (const wchar_t* face : standIns) {
        if (IsInstalled(face)) return face;
    }
    return L"";
}

HFONT CreateDefaultFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HDC screen = GetDC(nullptr);
    const int systemDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, systemDpi);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace

HFONT CreateSpecFont(const FontSpec& spec, int dpi) {
    if (spec.kind == FontKind::Default) return CreateDefaultFont(dpi);
    LOGFONTW font{};
    font.lfHeight = -MulDiv(spec.hundredthsOfPoint, dpi, 72 * 100);
    font.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = spec.kind == FontKind::Monospaced ? FIXED_PITCH | FF_MODERN : VARIABLE_PITCH | FF_SWISS;
    wcsncpy(font.lfFaceName, InstalledFace(spec), LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

}  // namespace quorvale::ui
