// The Bat! login codec: known symbol forms, the exhaustive round trip over short texts, hostile stored forms.
#include "clients/TheBatLoginCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int value : values)
        bytes += static_cast<char>(value);
    return bytes;
}

// A stored form whose length word says length, carrying payload after it.
std::string StoredWithLength(unsigned length, const std::string& payload)
{
    std::string bytes = Bytes({static_cast<int>(length & 0xFF), static_cast<int>((length >> 8) & 0xFF),
                               static_cast<int>((length >> 16) & 0xFF), static_cast<int>(length >> 24)});
    return CTheBatLoginCodec::EncodeSymbols(bytes + payload);
}

} // namespace

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
        std::string form = "kumquat";
        std::string text = "kumquat";
        ASSERT_TRUE(CTheBatLoginCodec::EncodeValue(row.first, form)) << row.first;
        EXPECT_EQ(row.second, form);
        ASSERT_TRUE(CTheBatLoginCodec::DecodeValue(form, text)) << row.first;
        EXPECT_EQ(row.first, text);
    }
}

TEST(TheBatLoginCodec, EveryShortTextAndTheLongestRoundTrip)
{
    // All texts of one and two bytes, then for longer texts every pair of first characters: those land in
    // the last group, so every final symbol and fill combination is met.
    int failures = 0;
    int wholeGroupsEndingInPlus = 0;
    auto check = [&](const std::string& text) {
        std::string stored;
        std::string decoded = "kumquat";
        if (!CTheBatLoginCodec::EncodeValue(text, stored) ||
            !CTheBatLoginCodec::DecodeValue(stored, decoded) || decoded != text) {
            if (++failures < 5)
                ADD_FAILURE() << "text of " << text.size() << " bytes starting " << (unsigned char)text[0]
                              << "," << (text.size() > 1 ? (unsigned char)text[1] : 0) << " gave " << stored;
            return;
        }
        if (stored.size() != 4 * ((text.size() + 6) / 3))
            ++failures;
        if ((text.size() + 4) % 3 == 0 && stored.back() == '+')
            ++wholeGroupsEndingInPlus;
    };
    for (int a = 0; a < 256; ++a)
        check(std::string(1, static_cast<char>(a)));
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b)
            check(Bytes({a, b}));
    }
    for (size_t length = 3; length <= 12; ++length) {
        std::string text(length, 'x');
        for (size_t k = 2; k < length; ++k)
            text[k] = static_cast<char>('a' + k);
        for (int a = 0; a < 256; ++a) {
            for (int b = 0; b < 256; b += 3) {
                text[0] = static_cast<char>(a);
                text[1] = static_cast<char>(b);
                check(text);
            }
        }
    }
    EXPECT_EQ(0, failures);
    // The ambiguous case was met, not only the easy ones.
    EXPECT_GT(wholeGroupsEndingInPlus, 1000);

    // The longest text goes through; one more byte, or none, is refused with the output untouched.
    std::string longest(CTheBatLoginCodec::kMaxValueLength, 'q');
    longest[0] = 'm';
    check(longest);
    EXPECT_EQ(0, failures);
    std::string stored = "kumquat";
    EXPECT_FALSE(CTheBatLoginCodec::EncodeValue(longest + "q", stored));
    EXPECT_FALSE(CTheBatLoginCodec::EncodeValue("", stored));
    EXPECT_EQ("kumquat", stored);
}

TEST(TheBatLoginCodec, HostileStoredFormsAreRefused)
{
    std::string good;
    ASSERT_TRUE(CTheBatLoginCodec::EncodeValue("anna", good));
    auto changed = [&good](size_t at, char c) {
        std::string stored = good;
        stored[at] = c;
        return stored;
    };
    struct Row
    {
        const char* what;
        std::string stored;
        BOOL expected;
        const char* text;
    };
    const Row rows[] = {
        {"empty", "", FALSE, ""},
        {"one group", good.substr(0, 4), FALSE, ""},
        {"cut inside the last group", good.substr(0, 10), FALSE, ""},
        {"a space in the first group", changed(2, ' '), FALSE, ""},
        {"an equals sign first", changed(0, '='), FALSE, ""},
        {"an equals sign in the last group", changed(9, '='), FALSE, ""},
        {"a byte over 127", changed(5, static_cast<char>(0xE9)), FALSE, ""},
        {"one to three symbols left over are ignored", good + "= ", TRUE, "anna"},
        {"length word 0", StoredWithLength(0, "xx"), FALSE, ""},
        {"length word past the symbols", StoredWithLength(7, "xx"), FALSE, ""},
        {"length word short of the symbols", StoredWithLength(1, "xxxxxxxx"), FALSE, ""},
        {"length word near 4 GiB", StoredWithLength(0xFFFFFFFFu, "xx"), FALSE, ""},
        {"length word just over the limit", StoredWithLength(4092, std::string(4092, 'x')), FALSE, ""},
        {"length word at the limit", StoredWithLength(4091, std::string(4091, static_cast<char>(0xD2 ^ 'z'))),
         TRUE, nullptr},
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        SCOPED_TRACE(rows[i].what);
        std::string text = "kumquat";
        EXPECT_EQ(rows[i].expected, CTheBatLoginCodec::DecodeValue(rows[i].stored, text));
        if (!rows[i].expected)
            EXPECT_EQ("kumquat", text);
        else if (rows[i].text)
            EXPECT_EQ(rows[i].text, text);
        else
            EXPECT_EQ(std::string(4091, 'z'), text);
    }

    std::string bytes = "kumquat";
    EXPECT_FALSE(CTheBatLoginCodec::DecodeSymbols("bdq", 1, bytes));
    EXPECT_FALSE(CTheBatLoginCodec::DecodeSymbols("bdqQbdqQ", 3, bytes));
    EXPECT_EQ("kumquat", bytes);
}
