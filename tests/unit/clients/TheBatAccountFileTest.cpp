// The Bat! account file: records kept byte for byte, the typed fields, and damaged files refused.
#include "clients/TheBatAccountFile.h"

#include "clients/TheBatLoginCodec.h"
#include "fixtures/SampleTheBat.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Raw(const char* bytes, size_t size)
{
    return std::string(bytes, size);
}

CTheBatAccountFile Parsed(const std::string& bytes)
{
    CTheBatAccountFile file;
    EXPECT_TRUE(file.Parse(bytes));
    return file;
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
    CTheBatAccountFile file = Parsed(bytes);
    ASSERT_EQ(6u, file.Records().size());
    EXPECT_EQ(bytes, file.Serialize());
    // Only the first record of an id is read; a number record under four bytes is no number.
    DWORD value = 0xDEADBEEF;
    ASSERT_TRUE(file.GetNumberField(13, value));
    EXPECT_EQ(110u, value);
    value = 0xDEADBEEF;
    EXPECT_FALSE(file.GetNumberField(57, value));
    EXPECT_FALSE(file.GetNumberField(99, value));
    EXPECT_EQ(0xDEADBEEFu, value);
    EXPECT_EQ("", file.GetAuthModeText());
    std::string text = "kumquat";
    ASSERT_TRUE(file.GetStringField(11, text));
    EXPECT_EQ("first", text);

    // Only the first record of an id is changed, with a header of id and length as little-endian words.
    ASSERT_TRUE(file.SetNumberField(13, 256));
    EXPECT_EQ(Raw("\x00\x01\x00\x00", 4), file.Records()[2].data);
    ASSERT_TRUE(file.SetNumberField(13, 1100));
    ASSERT_TRUE(file.SetStringField(11, "pop.mail.example"));
    EXPECT_EQ(email + unknown + Raw("\x0D\x00\x00\x00\x04\x00\x00\x00\x4C\x04\x00\x00", 12) +
                  Raw("\x0B\x00\x00\x00\x14\x00\x00\x00\x10\x00\x00\x00", 12) + "pop.mail.example" + tail,
              file.Serialize());

    // An empty file is a valid file without records, and setters never create one.
    CTheBatAccountFile empty = Parsed("");
    EXPECT_EQ(0u, empty.Records().size());
    EXPECT_FALSE(empty.SetStringField(12, "x"));
    EXPECT_FALSE(empty.SetNumberField(13, 110));
    EXPECT_FALSE(empty.SetEncodedField(15, "anna"));
    EXPECT_FALSE(empty.SetAuthModeText("APOP"));
    EXPECT_EQ("", empty.Serialize());
}

TEST(TheBatAccountFile, StringsAreReadWholeOrNotAtAll)
{
    struct Row
    {
        const char* what;
        std::string data;
        BOOL expected;
        const char* text;
    };
    const Row rows[] = {
        {"plain", TheBatStringData("pop.mail.example"), TRUE, "pop.mail.example"},
        {"empty", TheBatStringData(""), TRUE, ""},
        {"terminated and padded", Raw("\x03\x00\x00\x00pop\x00\x00\x00", 10), TRUE, "pop"},
        // The stored length is not consulted: the text runs to the zero or the end.
        {"stored length disagrees", Raw("\x63\x00\x00\x00pop", 7), TRUE, "pop"},
        {"text behind a zero", Raw("\x07\x00\x00\x00pop\x00mail", 11), FALSE, nullptr},
        {"shorter than its length word", Raw("\x03\x00\x00", 3), FALSE, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CTheBatAccountFile file = Parsed(TheBatRecordBytes(11, row.data));
        std::string text = "kumquat";
        EXPECT_EQ(row.expected, file.GetStringField(11, text));
        EXPECT_EQ(row.text ? row.text : "kumquat", text);
    }
}

TEST(TheBatAccountFile, EncodedLogin)
{
    CTheBatAccountFile file =
        Parsed(TheBatRecordBytes(15, TheBatLoginData("marta")) + TheBatRecordBytes(16, TheBatStringData("")) +
               TheBatRecordBytes(17, TheBatStringData("ab=d efgh")));
    std::string text = "kumquat";
    ASSERT_TRUE(file.GetEncodedField(15, text));
    EXPECT_EQ("marta", text);
    ASSERT_TRUE(file.GetEncodedField(16, text));
    EXPECT_EQ("", text);
    text = "kumquat";
    EXPECT_FALSE(file.GetEncodedField(17, text));
    EXPECT_FALSE(file.GetEncodedField(18, text));
    EXPECT_EQ("kumquat", text);

    // A login holding a zero byte could not be carried whole: refused.
    std::string stored;
    ASSERT_TRUE(CTheBatLoginCodec::EncodeValue(Raw("an\x00na", 5), stored));
    CTheBatAccountFile zero = Parsed(TheBatRecordBytes(15, TheBatStringData(stored)));
    EXPECT_FALSE(zero.GetEncodedField(15, text));

    ASSERT_TRUE(file.SetEncodedField(15, "anna/pop.mail.example/110"));
    ASSERT_TRUE(file.GetEncodedField(15, text));
    EXPECT_EQ("anna/pop.mail.example/110", text);
    EXPECT_EQ(TheBatLoginData("anna/pop.mail.example/110"), file.Records()[0].data);
    // An empty login is stored as an empty string, so that it can be given back.
    ASSERT_TRUE(file.SetEncodedField(15, ""));
    EXPECT_EQ(Raw("\x00\x00\x00\x00", 4), file.Records()[0].data);
    EXPECT_FALSE(file.SetEncodedField(15, std::string(CTheBatLoginCodec::kMaxValueLength + 1, 'a')));
    EXPECT_EQ(Raw("\x00\x00\x00\x00", 4), file.Records()[0].data);
}

TEST(TheBatAccountFile, ProtocolAndAuthentication)
{
    const struct
    {
        int flags;
        const char* text;
    } protocols[] = {{0x08, "POP3"}, {0x0C, "POP3"}, {0xF8, "POP3"},
                     {0x0A, "IMAP"}, {0x00, "IMAP"}, {0x02, "IMAP"}};
    for (const auto& row : protocols) {
        SCOPED_TRACE(row.flags);
        EXPECT_EQ(row.text,
                  Parsed(TheBatRecordBytes(29, TheBatProtocolData(static_cast<unsigned char>(row.flags))))
                      .GetProtocolText());
    }
    EXPECT_EQ("", Parsed(TheBatRecordBytes(29, Raw("\x00\x00\x00\x00\x08", 5))).GetProtocolText());
    EXPECT_EQ("", Parsed(TheBatRecordBytes(30, TheBatProtocolData(0x08))).GetProtocolText());

    const char* const modes[] = {"Normal", "APOP", "SPA", "", ""};
    for (DWORD mode = 0; mode < 5; ++mode)
        EXPECT_EQ(modes[mode], Parsed(TheBatRecordBytes(57, TheBatNumberData(mode))).GetAuthModeText());
    EXPECT_EQ("", Parsed(TheBatRecordBytes(58, TheBatNumberData(0))).GetAuthModeText());

    CTheBatAccountFile file = Parsed(TheBatRecordBytes(57, TheBatNumberData(0)));
    ASSERT_TRUE(file.SetAuthModeText("apop"));
    EXPECT_EQ("APOP", file.GetAuthModeText());
    ASSERT_TRUE(file.SetAuthModeText("Spa"));
    EXPECT_EQ(TheBatNumberData(2), file.Records()[0].data);
    EXPECT_FALSE(file.SetAuthModeText("Kerberos"));
    EXPECT_EQ(TheBatNumberData(2), file.Records()[0].data);
}

TEST(TheBatAccountFile, DamagedFilesAreRefused)
{
    const std::string whole = TheBatAccountFileBytes(TheBatSampleFile());
    const std::string email = TheBatRecordBytes(1, Raw("\x03\x00\x00\x00\xFF", 5)) +
                              TheBatRecordBytes(2, TheBatStringData("anna@mail.example"));
    struct Row
    {
        const char* what;
        std::string bytes;
        size_t recordsKept;
    };
    const Row rows[] = {
        {"a header cut after its id", email + Raw("\x0B\x00\x00\x00", 4), 2},
        {"data cut in the middle", whole.substr(0, whole.size() - 3), 9},
        {"length past the end", email + Raw("\x0B\x00\x00\x00\x10\x00\x00\x00pop", 11), 2},
        {"length near 4 GiB", email + Raw("\x0B\x00\x00\x00\xF8\xFF\xFF\xFF", 8) + std::string(200, 'x'), 2},
        {"length of 4 GiB less one", email + Raw("\x0B\x00\x00\x00\xFF\xFF\xFF\xFF", 8), 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        CTheBatAccountFile file;
        EXPECT_FALSE(file.Parse(row.bytes));
        // What came before the damage is kept, for the e-mail address.
        EXPECT_EQ(row.recordsKept, file.Records().size());
    }
    CTheBatAccountFile file;
    file.Parse(email + Raw("\x0B\x00\x00\x00\xFF\xFF\xFF\xFF", 8));
    std::string text;
    ASSERT_TRUE(file.GetStringField(2, text));
    EXPECT_EQ("anna@mail.example", text);
}
