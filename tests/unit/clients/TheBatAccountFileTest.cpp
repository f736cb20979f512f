// The Bat! account file against known bytes: records kept byte for byte, the first record of an id edited
// with its header rewritten, and the meaning of the protocol and authentication records. Damaged files and
// the round trip of every edit are the fuzzers' part.
#include "clients/TheBatAccountFile.h"

#include "fixtures/SampleTheBat.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Raw(const char* bytes, size_t size)
{
    return std::string(bytes, size);
}

} // namespace

TEST(TheBatAccountFile, EditsChangeTheFirstRecordOfAnIdAndKeepEveryOtherByte)
{
    const std::string email = TheBatRecordBytes(2, TheBatStringData("anna@mail.example"));
    const std::string unknown = Raw("\x64\x00\x00\x00\x07\x00\x00\x00\x00\x01\x02\x03\x04\x05\x06", 15);
    const std::string tail =
        TheBatRecordBytes(11, TheBatStringData("second")) + TheBatRecordBytes(57, Raw("\x01\x00", 2));
    const std::string bytes = email + unknown + TheBatRecordBytes(13, Raw("\x6E\x00\x00\x00\xAA\xBB", 6)) +
                              TheBatRecordBytes(11, TheBatStringData("first")) + tail;
    CTheBatAccountFile file;
    ASSERT_TRUE(file.Parse(bytes));
    ASSERT_EQ(6u, file.Records().size());
    // Only the first record of an id is read; a number record under four bytes is no number.
    DWORD value = 0xDEADBEEF;
    ASSERT_TRUE(file.GetNumberField(13, value));
    EXPECT_EQ(110u, value);
    EXPECT_FALSE(file.GetNumberField(57, value));
    std::string text = "kumquat";
    ASSERT_TRUE(file.GetStringField(11, text));
    EXPECT_EQ("first", text);

    // Only the first record of an id is changed, with a header of id and length as little-endian words.
    ASSERT_TRUE(file.SetNumberField(13, 1100));
    ASSERT_TRUE(file.SetStringField(11, "pop.mail.example"));
    EXPECT_EQ(email + unknown + Raw("\x0D\x00\x00\x00\x04\x00\x00\x00\x4C\x04\x00\x00", 12) +
                  Raw("\x0B\x00\x00\x00\x14\x00\x00\x00\x10\x00\x00\x00", 12) + "pop.mail.example" + tail,
              file.Serialize());
}

TEST(TheBatAccountFile, ProtocolAndAuthenticationRecords)
{
    // The protocol is the flag byte at offset 5: POP3 with 0x08 set and 0x02 clear, whatever the other bits
    // hold; IMAP otherwise.
    const std::pair<int, const char*> protocols[] = {{0xF8, "POP3"}, {0x0A, "IMAP"}, {0x00, "IMAP"}};
    for (const auto& row : protocols) {
        CTheBatAccountFile file;
        ASSERT_TRUE(
            file.Parse(TheBatRecordBytes(29, TheBatProtocolData(static_cast<unsigned char>(row.first)))));
        EXPECT_EQ(row.second, file.GetProtocolText()) << row.first;
    }
    // Authentication 0, 1 and 2; any other number is a method the program does not know.
    const char* const modes[] = {"Normal", "APOP", "SPA", ""};
    for (DWORD mode = 0; mode < 4; ++mode) {
        CTheBatAccountFile file;
        ASSERT_TRUE(file.Parse(TheBatRecordBytes(57, TheBatNumberData(mode))));
        EXPECT_EQ(modes[mode], file.GetAuthModeText()) << mode;
        if (mode < 3) {
            ASSERT_TRUE(file.SetAuthModeText(mode == 2 ? "Spa" : "normal"));
            EXPECT_EQ(TheBatNumberData(mode == 2 ? 2 : 0), file.Records()[0].data) << mode;
        }
    }
}
