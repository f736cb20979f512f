// Text handed to UTF-8 readers, the same on both backends (Windows-1252 under Wine here).
#include "TextEncoding.h"

#include <gtest/gtest.h>

TEST(TextEncoding, Utf8StaysAndCodePageBytesBecomeUtf8)
{
    EXPECT_EQ("", plat::TextAsUtf8(""));
    EXPECT_EQ("plain/pop.example[APOP]/110", plat::TextAsUtf8("plain/pop.example[APOP]/110"));
    // UTF-8 beyond any code page passes as it is, four-byte characters too.
    EXPECT_EQ("\xC5\x81ukasz \xE6\x9D\x8E\xE9\x9B\xB7 \xF0\x9F\x98\x80",
              plat::TextAsUtf8("\xC5\x81ukasz \xE6\x9D\x8E\xE9\x9B\xB7 \xF0\x9F\x98\x80"));
    // Bytes a store keeps in the code page: Latin-1 letters, its own dash and euro sign.
    EXPECT_EQ("Gr\xC3\xBC\xC3\x9F"
              "e \xE2\x80\x94 \xE2\x82\xAC",
              plat::TextAsUtf8("Gr\xFC\xDF"
                               "e \x97 \x80"));
    // A NUL does not end the text; a cut UTF-8 sequence is read in the code page.
    EXPECT_EQ(std::string("a\0b", 3), plat::TextAsUtf8(std::string("a\0b", 3)));
    EXPECT_EQ("\xC3\x83", plat::TextAsUtf8("\xC3"));
}

TEST(TextEncoding, CodePageValuesGoBackExactlyOrAreRefused)
{
    // Every byte the code page defines comes back as it was, and through UTF-8 as the letter it stands for.
    const std::string defined = std::string("Zo\xEB \x80 \x97 \xFF\xA0", 10) + std::string(1, '\0') + "x";
    std::string utf8 = "unchanged";
    ASSERT_TRUE(plat::CodePageToUtf8(defined, utf8));
    EXPECT_EQ(std::string("Zo\xC3\xAB \xE2\x82\xAC \xE2\x80\x94 \xC3\xBF\xC2\xA0", 17) +
                  std::string(1, '\0') + "x",
              utf8);
    std::string back = "unchanged";
    ASSERT_TRUE(plat::Utf8ToCodePage(utf8, back));
    EXPECT_EQ(defined, back);
    ASSERT_TRUE(plat::CodePageToUtf8("", utf8));
    EXPECT_EQ("", utf8);
    ASSERT_TRUE(plat::Utf8ToCodePage("", back));
    EXPECT_EQ("", back);

    // The five holes of Windows-1252 are no letters: refused, and the output left alone.
    for (const char* hole : {"\x81", "\x8D", "\x8F", "\x90", "\x9D"}) {
        utf8 = "unchanged";
        EXPECT_FALSE(plat::CodePageToUtf8(std::string("Zo") + hole, utf8))
            << static_cast<int>(hole[0] & 0xFF);
        EXPECT_EQ("unchanged", utf8);
    }
    // The UTF-8 of "Łukasz" read as code-page bytes holds a hole (0x81), as does that of "李雷" (0x9D).
    EXPECT_FALSE(plat::CodePageToUtf8("\xC5\x81ukasz", utf8));
    EXPECT_FALSE(plat::CodePageToUtf8("\xE6\x9D\x8E\xE9\x9B\xB7", utf8));

    // Letters the code page cannot hold, a C1 control that would write a hole, U+FFFD, and bytes that are no
    // UTF-8 are refused rather than written as a look-alike or "?".
    for (const char* text : {"\xC5\x81ukasz", "\xE6\x9D\x8E\xE9\x9B\xB7", "\xF0\x9F\x98\x80", "Zo\xC2\x81",
                             "\xEF\xBF\xBD", "Zo\xEB", "Zo\xC3", "\xC0\xAE"}) {
        back = "unchanged";
        EXPECT_FALSE(plat::Utf8ToCodePage(text, back)) << text;
        EXPECT_EQ("unchanged", back);
    }
    // What the strict reader refuses, the display reader shows as U+FFFD.
    EXPECT_EQ("Zo\xEF\xBF\xBD", plat::TextAsUtf8("Zo\x81"));
}
