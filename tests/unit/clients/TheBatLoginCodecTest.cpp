// The Bat! login codec against known stored forms: a round trip alone would not see a codec that differs from
// the client's own in both directions.
#include "clients/TheBatLoginCodec.h"

#include "support/TestBytes.h"

#include <gtest/gtest.h>

#include <string>

TEST(TheBatLoginCodec, KnownSymbolsAndStoredForms)
{
    // The stored forms below end in one, two and no bytes left over; here the empty text and the symbols of
    // the lowest and highest values.
    const std::pair<std::string, const char*> symbols[] = {
        {"", ""},
        {Bytes({255, 255, 255}), "++++"},
        {Bytes({0, 0, 0}), "zzzz"},
    };
    for (const auto& row : symbols)
        EXPECT_EQ(row.second, CTheBatLoginCodec::EncodeSymbols(row.first)) << row.second;
    EXPECT_EQ(-1, CTheBatLoginCodec::SymbolValue(static_cast<char>(0xBD)));

    // A length word, then the text last byte first, each XOR 0xD2: "a" is 01 00 00 00 B3. With the set low
    // bits the symbol before two fill signs may itself be the value 63 ("abc"), and a last group filled
    // whole may end in it ("marta"): only the length tells it from a fill sign.
    const std::pair<const char*, const char*> stored[] = {
        {"a", "zjzzzon+"},       {"ab", "zTzzzoxA"},       {"bcd", "zDzzzoZCHk++"},
        {"abc", "zDzzzotDH+++"}, {"abcd", "yzzzzoZCHon+"}, {"marta", "yjzzzolNLol+"},
    };
    for (const auto& row : stored) {
        SCOPED_TRACE(std::string("text [") + row.first + "]");
        std::string form = "kumquat";
        std::string text = "kumquat";
        ASSERT_TRUE(CTheBatLoginCodec::EncodeValue(row.first, form)) << row.first;
        EXPECT_EQ(row.second, form);
        ASSERT_TRUE(CTheBatLoginCodec::DecodeValue(form, text)) << row.first;
        EXPECT_EQ(row.first, text);
    }
}
