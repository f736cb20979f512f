// The ANSI-to-UTF-8 conversion, the same on both backends (Windows-1252 under Wine here).
#include "TextEncoding.h"

#include <gtest/gtest.h>

TEST(TextEncoding, SystemTextBecomesUtf8)
{
    EXPECT_EQ("", plat::SystemTextToUtf8(""));
    EXPECT_EQ("plain/pop.example[APOP]/110", plat::SystemTextToUtf8("plain/pop.example[APOP]/110"));
    // Latin-1 letters, the code page's own dash and euro sign, and a NUL that must not end the text.
    EXPECT_EQ("Gr\xC3\xBC\xC3\x9F"
              "e \xE2\x80\x94 \xE2\x82\xAC",
              plat::SystemTextToUtf8("Gr\xFC\xDF"
                                     "e \x97 \x80"));
    EXPECT_EQ(std::string("a\0b", 3), plat::SystemTextToUtf8(std::string("a\0b", 3)));
}
