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
