#include "patch/PatchTable.h"

namespace quorvale {
namespace {

// A text as blanks, a core and blanks: the blank runs are what matter most and
// are hardest to read in a literal, so they are given as counts.
struct PaddedText {
    int leading;
    const char* core;
    int trailing;

    std::string Build() const { return std::string(leading, ' ') + core + std::string(trailing, ' '); }
};

struct RowSource {
    PaddedText english;
    PaddedText spanish;
};

// "\xE1" is a-acute and "\xF3" o-acute, in Latin-1.
// clang-format off
constexpr RowSource kRows[kPatchRowCount] = {
    {{28, "Work with Submitted Jobs", 19}, {24, "Trabajar con Trabajos Sometidos", 16}},
    {{27, "Work with Members Using PDM", 17}, {23, "Trabajar con Miembros utilizando PDM", 12}},
    {{47, "System  . . . . . :", 3}, {47, "Sistema . . . . . :", 3}},
    {{1, "Columns . . . :", 3}, {1, "Columnas  . . :", 3}},
    {{1, "Columns . . . :", 2}, {1, "Columnas  . . :", 2}},
    {{26, "Prompt type .", 0}, {26, "Tipo solicitu", 0}},
    {{1, "Prompt type .", 0}, {1, "Tipo solicitu", 0}},
    {{8, "*************** Beginning of data *************************************", 0},
     {8, "*************** Principio de datos ************************************", 0}},
    {{8, "****************** End of data ****************************************", 0},
     {8, "****************** Fin de datos ***************************************", 0}},
    {{0, "F24=More keys", 0}, {0, "F24=M\xE1s tecla", 0}},
    {{0, "English", 8}, {0, "Spanish", 9}},
    {{29, "Display Module Source", 30}, {28, "Visualizar Fuente M\xF3" "dulo", 28}},
    {{25, "Pmt  SeqNbr", 0}, {25, "Sol  NumSec", 0}},
    {{0, "Pmt  SeqNbr", 0}, {0, "Sol  NumSec", 0}},
    {{0, "CL0N01N02N03Factor1+++Opcd", 0}, {0, "CL0N01N02N03Factor1+++Oper", 0}},
    {{0, "CL0N01Factor1+++++++Opcode", 0}, {0, "CL0N01Factor1+++++++Operat", 0}},
    {{61, "System:", 3}, {60, "Sistema:", 3}},
    {{0, "Edit", 0}, {0, "Edic", 0}},
};
// clang-format on

std::array<PatchRow, kPatchRowCount> BuildTable() {
    std::array<PatchRow, kPatchRowCount> table;
    for (std::size_t i = 0; i < kPatchRowCount; ++i) {
        table[i] = {kRows[i].english.Build(), kRows[i].spanish.Build()};
    }
    return table;
}

}  // namespace

const std::array<PatchRow, kPatchRowCount>& PatchTable() {
    static const std::array<PatchRow, kPatchRowCount> table = BuildTable();
    return table;
}

}  // namespace quorvale
