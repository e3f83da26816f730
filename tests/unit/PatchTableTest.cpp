#include <gtest/gtest.h>

#include <algorithm>

#include "patch/Global.h"
#include "patch/PatchTable.h"

namespace quorvale {
namespace {

TEST(PatchTable, EveryRowHasTheLengthsOfTheTable) {
    struct Lengths {
        std::size_t english, spanish;
    };
    constexpr Lengths kExpected[kPatchRowCount] = {{71, 71}, {71, 71}, {69, 69}, {19, 19}, {18, 18}, {39, 39},
                                                   {14, 14}, {79, 79}, {79, 79}, {13, 13}, {15, 16}, {80, 80},
                                                   {36, 36}, {11, 11}, {26, 26}, {26, 26}, {71, 71}, {4, 4}};
    for (std::size_t i = 0; i < kPatchRowCount; ++i) {
        SCOPED_TRACE("row " + std::to_string(i + 1));
        EXPECT_EQ(PatchTable()[i].english.size(), kExpected[i].english);
        EXPECT_EQ(PatchTable()[i].spanish.size(), kExpected[i].spanish);
    }
}

TEST(PatchTable, TextsKeepTheirExactBlanksAndLetters) {
    const auto& table = PatchTable();
    EXPECT_EQ(table[2].english, std::string(47, ' ') + "System  . . . . . :   ");
    EXPECT_EQ(table[3].spanish, " Columnas  . . :   ");
    EXPECT_EQ(table[7].english,
              std::string(8, ' ') + std::string(15, '*') + " Beginning of data " + std::string(37, '*'));
    EXPECT_EQ(table[8].spanish, std::string(8, ' ') + std::string(18, '*') + " Fin de datos " + std::string(39, '*'));
    EXPECT_EQ(table[10].spanish, "Spanish" + std::string(9, ' '));
    EXPECT_EQ(table[11].spanish, std::string(28, ' ') +
                                     "Visualizar Fuente M\xF3"
                                     "dulo" +
                                     std::string(28, ' '));
    EXPECT_EQ(table[16].english, std::string(61, ' ') + "System:   ");
    // The later rows that live inside earlier ones.
    EXPECT_TRUE(table[3].english.starts_with(table[4].english));
    EXPECT_TRUE(table[5].english.ends_with(table[6].english));
    EXPECT_TRUE(table[12].english.ends_with(table[13].english));
}

TEST(PatchTable, EnglishIsAsciiAndOnlyTwoSpanishCharactersAreNot) {
    std::string beyondAscii;
    for (const PatchRow& row : PatchTable()) {
        EXPECT_TRUE(std::all_of(row.english.begin(), row.english.end(), [](char c) { return c > 0; }));
        for (char c : row.spanish) {
            if (static_cast<unsigned char>(c) > 0x7F) beyondAscii += c;
        }
    }
    EXPECT_EQ(beyondAscii, "\xE1\xF3");
}

TEST(WidenText, FollowsEveryCharacterWithAZero) {
    struct Case {
        std::string text, wide;
    };
    const Case cases[] = {
        {"", ""},
        {"Edit", std::string("E\0d\0i\0t\0", 8)},
        {"\xE1\xF3", std::string("\xE1\0\xF3\0", 4)},
    };
    for (const Case& c : cases) EXPECT_EQ(WidenText(c.text), c.wide);
}

TEST(WidenText, TableTextsWidenToTwiceTheirLength) {
    const std::string row10 = WidenText(PatchTable()[9].spanish);
    ASSERT_EQ(row10.size(), 26u);
    EXPECT_EQ(row10.substr(10, 2), std::string("\xE1\0", 2));
    EXPECT_EQ(WidenText(PatchTable()[10].english).size(), 30u);
    EXPECT_EQ(WidenText(PatchTable()[10].spanish).size(), 32u);
    EXPECT_EQ(WidenText(PatchTable()[11].english).size(), 160u);
}

}  // namespace
}  // namespace quorvale
