// Outlook's UTF-16LE text values and the shared converter beneath them, against bytes written out by hand:
// a round trip alone would not see a converter wrong in both directions.
#include "clients/Utf16Text.h"
#include "clients/Utf16Value.h"

#include "support/TestBytes.h"

#include <gtest/gtest.h>

#include <string>

TEST(Utf16Value, KnownTextsAndTheirStoredBytes)
{
    const std::pair<std::string, std::string> rows[] = {
        {"", Bytes({0, 0})},
        {"anna", Bytes({'a', 0, 'n', 0, 'n', 0, 'a', 0, 0, 0})},
        {"\xC5\x81ukasz", Bytes({0x41, 0x01, 'u', 0, 'k', 0, 'a', 0, 's', 0, 'z', 0, 0, 0})},
        {"\xE6\x9D\x8E\xE9\x9B\xB7", Bytes({0x4E, 0x67, 0xF7, 0x96, 0, 0})},
        {"Zo\xC3\xAB", Bytes({'Z', 0, 'o', 0, 0xEB, 0, 0, 0})},
        // U+1F600 needs a surrogate pair.
        {"\xF0\x9F\x98\x80", Bytes({0x3D, 0xD8, 0x00, 0xDE, 0, 0})},
        {"\xEF\xBF\xBF", Bytes({0xFF, 0xFF, 0, 0})},
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        std::string bytes = "kumquat";
        ASSERT_TRUE(EncodeUtf16Value(rows[i].first, bytes)) << i;
        EXPECT_EQ(rows[i].second, bytes) << i;
        std::string text = "kumquat";
        ASSERT_TRUE(DecodeUtf16Value(rows[i].second, text)) << i;
        EXPECT_EQ(rows[i].first, text) << i;
    }
}

TEST(Utf16Value, StoredBytesThatAreNoWholeTextAreRefused)
{
    const std::string refused[] = {
        "",
        Bytes({0}),
        Bytes({'a', 0, 0}),                  // odd count
        Bytes({'a', 0, 'b', 0}),             // no terminator
        Bytes({'a', 0, 0, 0, 'b', 0, 0, 0}), // a NUL before the end would cut the text
        Bytes({0, 0, 0, 0}),
        Bytes({0x3D, 0xD8, 0, 0}),         // high surrogate alone
        Bytes({0x00, 0xDE, 'a', 0, 0, 0}), // low surrogate alone
        Bytes({0x3D, 0xD8, 0x3D, 0xD8, 0x00, 0xDE, 0, 0}),
        Bytes({0x3D, 0xD8, 'a', 0, 0, 0}),
    };
    for (size_t i = 0; i < sizeof(refused) / sizeof(refused[0]); ++i) {
        std::string text = "kumquat";
        EXPECT_FALSE(DecodeUtf16Value(refused[i], text)) << i;
        EXPECT_EQ("kumquat", text) << i;
    }
    // A zero byte inside a code unit is no NUL: U+0100 is stored as 00 01.
    std::string text;
    ASSERT_TRUE(DecodeUtf16Value(Bytes({0x00, 0x01, 0, 0}), text));
    EXPECT_EQ("\xC4\x80", text);
}

TEST(Utf16Value, TextThatIsNotUtf8IsRefused)
{
    const std::string refused[] = {
        "\x80",             // stray continuation byte
        "a\xC5",            // cut sequence
        "\xC0\xAF",         // overlong '/'
        "\xE0\x80\xAF",     // overlong, three bytes
        "\xED\xA0\x80",     // an encoded surrogate
        "\xF4\x90\x80\x80", // past U+10FFFF
        "\xF8\x88\x80\x80\x80",
        "\xC3\x28",
        std::string("a\0b", 3),
    };
    for (size_t i = 0; i < sizeof(refused) / sizeof(refused[0]); ++i) {
        std::string bytes = "kumquat";
        EXPECT_FALSE(EncodeUtf16Value(refused[i], bytes)) << i;
        EXPECT_EQ("kumquat", bytes) << i;
    }
    // The largest code point is still text.
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));
    std::string bytes;
    ASSERT_TRUE(AppendUtf16LeFromUtf8("\xF4\x8F\xBF\xBF", bytes));
    EXPECT_EQ(Bytes({0xFF, 0xDB, 0xFF, 0xDF}), bytes);
}
