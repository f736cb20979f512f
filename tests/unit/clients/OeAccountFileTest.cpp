// Windows Live Mail account files against bytes written out by hand: what parsing reads, that edits change
// only the element they concern in the file's own encoding, layout and line ends, and the files refused.
#include "clients/OeAccountFile.h"

#include "clients/Utf16Text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kMark16[] = "\xFF\xFE";
const char kMark8[] = "\xEF\xBB\xBF";

std::string Utf16(const std::string& text)
{
    std::string bytes = kMark16;
    EXPECT_TRUE(AppendUtf16LeFromUtf8(text, bytes));
    return bytes;
}

// An account as the client writes it, with place holders for the values the tests change.
std::string Account(const std::string& server = "pop.mail.example", const std::string& port = "000003e3",
                    const std::string& extra = "")
{
    return "<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n"
           "<MessageAccount>\r\n"
           "\t<Account_Name type=\"SZ\">Anna &amp; Co at example</Account_Name>\r\n"
           "\t<Connection_Type type=\"DWORD\">00000003</Connection_Type>\r\n"
           "\t<POP3_Server type=\"SZ\">" +
           server +
           "</POP3_Server>\r\n"
           "\t<POP3_User_Name type=\"SZ\">anna</POP3_User_Name>\r\n"
           "\t<POP3_Password2 type=\"BINARY\">01d0a4ff</POP3_Password2>\r\n"
           "\t<POP3_Port type=\"DWORD\">" +
           port +
           "</POP3_Port>\r\n"
           "\t<POP3_Secure_Connection type=\"DWORD\">00000001</POP3_Secure_Connection>\r\n"
           "\t<SMTP_Email_Address type=\"SZ\">anna@mail.example</SMTP_Email_Address>\r\n" +
           extra + "</MessageAccount>\r\n";
}

} // namespace

TEST(OeAccountFile, ReadsEachEncodingAndWritesItBackUnchanged)
{
    const std::string utf8 = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" + Account().substr(39);
    const std::string files[] = {Utf16(Account()), kMark8 + utf8, utf8};
    for (const std::string& bytes : files) {
        COeAccountFile file;
        ASSERT_TRUE(file.Parse(bytes));
        EXPECT_EQ(bytes, file.Serialize());
        std::string text = "kumquat";
        ASSERT_TRUE(file.GetText("Account_Name", text));
        EXPECT_EQ("Anna & Co at example", text);
        ASSERT_TRUE(file.GetText("POP3_Server", text));
        EXPECT_EQ("pop.mail.example", text);
        DWORD value = 0xDEADBEEF;
        ASSERT_TRUE(file.GetDword("POP3_Port", value));
        EXPECT_EQ(995u, value);
        // A type is read only as itself; a missing setting is no value.
        EXPECT_FALSE(file.GetDword("POP3_Server", value));
        EXPECT_FALSE(file.GetText("POP3_Port", text));
        EXPECT_FALSE(file.GetText("POP3_Use_Sicily", text));
        EXPECT_FALSE(file.HasSetting("POP3_Use_Sicily"));
        EXPECT_TRUE(file.HasSetting("POP3_Password2"));
        EXPECT_EQ(995u, value);
        EXPECT_EQ("pop.mail.example", text);
    }
    // References of every kind are decoded, and XML's line ends read as one LF.
    COeAccountFile file;
    ASSERT_TRUE(file.Parse("<MessageAccount><A type='SZ'>&lt;&gt;&quot;&apos;&#65;&#x141;&#x1F600;\r\nb\rc"
                           "</A><B type=\"SZ\"/><C type=\"DWORD\">FFFFFFFF</C></MessageAccount>"));
    std::string text;
    ASSERT_TRUE(file.GetText("A", text));
    EXPECT_EQ("<>\"'A\xC5\x81\xF0\x9F\x98\x80\nb\nc", text);
    ASSERT_TRUE(file.GetText("B", text));
    EXPECT_EQ("", text);
    DWORD value = 0;
    ASSERT_TRUE(file.GetDword("C", value));
    EXPECT_EQ(0xFFFFFFFFu, value);
}

TEST(OeAccountFile, EditsChangeOnlyTheTextOfTheirElement)
{
    COeAccountFile file;
    ASSERT_TRUE(file.Parse(Utf16(Account())));
    ASSERT_TRUE(file.SetText("POP3_Server", "localhost"));
    ASSERT_TRUE(file.SetDword("POP3_Port", 1100));
    EXPECT_EQ(Utf16(Account("localhost", "0000044c")), file.Serialize());
    // Text the markup would take is escaped, and reads back as it was set.
    const std::string hostile = "a&b<c>\"d\"'e'\tline\r\nnext \xC5\x81ukasz";
    ASSERT_TRUE(file.SetText("POP3_Server", hostile));
    EXPECT_EQ(Utf16(Account("a&amp;b&lt;c&gt;&quot;d&quot;&apos;e&apos;&#9;line&#13;&#10;next \xC5\x81ukasz",
                            "0000044c")),
              file.Serialize());
    COeAccountFile reread;
    ASSERT_TRUE(reread.Parse(file.Serialize()));
    std::string text;
    ASSERT_TRUE(reread.GetText("POP3_Server", text));
    EXPECT_EQ(hostile, text);

    // Refused edits leave every byte as it was: a wrong type, text XML cannot carry, a name that is none.
    const std::string before = file.Serialize();
    EXPECT_FALSE(file.SetText("POP3_Port", "110"));
    EXPECT_FALSE(file.SetDword("POP3_Server", 110));
    EXPECT_FALSE(file.SetText("POP3_User_Name", "an\x01na"));
    EXPECT_FALSE(file.SetText("POP3_User_Name", std::string("an\0na", 5)));
    EXPECT_FALSE(file.SetText("POP3_User_Name", "an\xC5"));
    EXPECT_FALSE(file.SetText("1st", "x"));
    EXPECT_FALSE(file.SetText("a b", "x"));
    EXPECT_EQ(before, file.Serialize());

    // An empty element gets its text between a start and an end tag.
    ASSERT_TRUE(file.Parse("<MessageAccount>\n  <A type=\"SZ\" />\n</MessageAccount>\n"));
    ASSERT_TRUE(file.SetText("A", "x"));
    EXPECT_EQ("<MessageAccount>\n  <A type=\"SZ\" >x</A>\n</MessageAccount>\n", file.Serialize());
}

TEST(OeAccountFile, AddedAndRemovedSettingsKeepTheFileLayout)
{
    // Added behind the last setting, indented and ended as its line; removing it gives the file back.
    COeAccountFile file;
    const std::string original = Utf16(Account());
    ASSERT_TRUE(file.Parse(original));
    ASSERT_TRUE(file.SetDword("POP3_Use_Sicily", 1));
    EXPECT_EQ(Utf16(Account("pop.mail.example", "000003e3",
                            "\t<POP3_Use_Sicily type=\"DWORD\">00000001</POP3_Use_Sicily>\r\n")),
              file.Serialize());
    ASSERT_TRUE(file.RemoveSetting("POP3_Use_Sicily"));
    EXPECT_EQ(original, file.Serialize());
    EXPECT_TRUE(file.RemoveSetting("POP3_Use_Sicily"));
    EXPECT_EQ(original, file.Serialize());

    // LF line ends, two spaces, a comment before the closing tag.
    const std::string lf = "<MessageAccount>\n  <A type=\"SZ\">a</A>\n  <!-- end -->\n</MessageAccount>";
    ASSERT_TRUE(file.Parse(lf));
    ASSERT_TRUE(file.SetText("B", "b&"));
    EXPECT_EQ("<MessageAccount>\n  <A type=\"SZ\">a</A>\n  <B type=\"SZ\">b&amp;</B>\n  <!-- end -->\n"
              "</MessageAccount>",
              file.Serialize());
    ASSERT_TRUE(file.RemoveSetting("A"));
    EXPECT_EQ("<MessageAccount>\n  <B type=\"SZ\">b&amp;</B>\n  <!-- end -->\n</MessageAccount>",
              file.Serialize());

    // A comment that runs on from the last setting's line is no place for the new one.
    const std::string comment = "<MessageAccount>\n  <A type=\"SZ\">a</A><!-- x\n y -->\n</MessageAccount>";
    ASSERT_TRUE(file.Parse(comment));
    ASSERT_TRUE(file.SetText("B", "b"));
    EXPECT_EQ(
        "<MessageAccount>\n  <A type=\"SZ\">a</A><!-- x\n y -->\n\n  <B type=\"SZ\">b</B></MessageAccount>",
        file.Serialize());
    ASSERT_TRUE(file.RemoveSetting("B"));
    EXPECT_EQ(comment, file.Serialize());

    // No setting yet: a tab and the file's own line end, on a line before the closing tag.
    ASSERT_TRUE(file.Parse("<MessageAccount>\n</MessageAccount>\n"));
    ASSERT_TRUE(file.SetText("A", "a"));
    EXPECT_EQ("<MessageAccount>\n\t<A type=\"SZ\">a</A>\n</MessageAccount>\n", file.Serialize());
    // All on one line: the new line starts before the element and ends at the closing tag, so that
    // removing it again gives the file back; removing an element that shares its line takes only the element.
    const std::string oneLine = "<MessageAccount><A type=\"SZ\">a</A></MessageAccount>";
    ASSERT_TRUE(file.Parse(oneLine));
    ASSERT_TRUE(file.SetText("B", "b"));
    EXPECT_EQ("<MessageAccount><A type=\"SZ\">a</A>\r\n<B type=\"SZ\">b</B></MessageAccount>",
              file.Serialize());
    ASSERT_TRUE(file.RemoveSetting("B"));
    EXPECT_EQ(oneLine, file.Serialize());
    ASSERT_TRUE(file.RemoveSetting("A"));
    EXPECT_EQ("<MessageAccount></MessageAccount>", file.Serialize());
    ASSERT_TRUE(file.SetText("A", "a"));
    EXPECT_EQ("<MessageAccount>\r\n\t<A type=\"SZ\">a</A></MessageAccount>", file.Serialize());
    // An element that shares its line with the next one goes alone.
    ASSERT_TRUE(file.Parse("<MessageAccount>\n  <A type=\"SZ\"/><B type=\"SZ\"/>\n</MessageAccount>"));
    ASSERT_TRUE(file.RemoveSetting("A"));
    EXPECT_EQ("<MessageAccount>\n  <B type=\"SZ\"/>\n</MessageAccount>", file.Serialize());
}

TEST(OeAccountFile, FilesThatAreNotWellFormedAreRefused)
{
    const std::string body = Account().substr(41);
    std::string utf16be = "\xFE\xFF";
    for (char c : body) {
        utf16be += '\0';
        utf16be += c;
    }
    const std::string refused[] = {
        "",
        utf16be,
        std::string("\xFF\xFE\0\0", 4) + body, // UTF-32LE
        std::string("\0\0\xFE\xFF", 4) + body, // UTF-32BE
        Utf16(body).substr(2),                 // UTF-16LE without its mark
        Utf16(body) + "x",                     // odd byte count
        kMark16 + std::string("<\0\0\xD8", 4), // a lone surrogate
        "<MessageAccount><A type=\"SZ\">\xC5</A></MessageAccount>",
        "<MessageAccount><A type=\"SZ\">a</A>",
        "<MessageAccount><A type=\"SZ\">a</B></MessageAccount>",
        "<MessageAccount><A type=\"SZ\">a</MessageAccount>",
        "<Account><A type=\"SZ\">a</A></Account>",
        "<A type=\"SZ\">a</A>",
        "<MessageAccount/>",
        "<MessageAccount><A type=\"QWORD\">a</A></MessageAccount>",
        "<MessageAccount><A>a</A></MessageAccount>",
        "<MessageAccount><A type=\"SZ\" type=\"SZ\">a</A></MessageAccount>",
        "<MessageAccount><A type=\"DWORD\">6e</A></MessageAccount>",
        "<MessageAccount><A type=\"DWORD\">0000006g</A></MessageAccount>",
        "<MessageAccount><A type=\"DWORD\">000000006e</A></MessageAccount>",
        "<MessageAccount><A type=\"BINARY\">abc</A></MessageAccount>",
        "<MessageAccount><A type=\"SZ\">a<B type=\"SZ\">b</B></A></MessageAccount>",
        "<MessageAccount><A type=\"SZ\">&nbsp;</A></MessageAccount>",
        "<MessageAccount><A type=\"SZ\">&#0;</A></MessageAccount>",
        "<MessageAccount><A type=\"SZ\">&#xD800;</A></MessageAccount>",
        "<MessageAccount><A type=\"SZ\">a & b</A></MessageAccount>",
        "<MessageAccount><A type=\"SZ\">a</A><A type=\"SZ\">b</A></MessageAccount>",
        "<MessageAccount>text<A type=\"SZ\">a</A></MessageAccount>",
        "<MessageAccount></MessageAccount><MessageAccount></MessageAccount>",
        "<MessageAccount></MessageAccount>x",
        "<!DOCTYPE x><MessageAccount></MessageAccount>",
        "<MessageAccount><![CDATA[x]]></MessageAccount>",
        "<MessageAccount><!-- a -- b --></MessageAccount>",
        "<?xml version=\"1.0\" encoding=\"utf-16\"?><MessageAccount></MessageAccount>",
        kMark16 + std::string("<\0M\0", 4),
    };
    for (size_t i = 0; i < sizeof(refused) / sizeof(refused[0]); ++i) {
        COeAccountFile file;
        EXPECT_FALSE(file.Parse(refused[i])) << i;
        EXPECT_EQ("", file.Serialize()) << i;
        EXPECT_FALSE(file.SetText("A", "a")) << i;
    }
    // A UTF-8 declaration in a UTF-16 file would make the client read it wrong.
    COeAccountFile file;
    EXPECT_FALSE(file.Parse(Utf16("<?xml version=\"1.0\" encoding=\"utf-8\"?>" + body)));
    EXPECT_TRUE(file.Parse(Utf16("<?xml version='1.0' encoding='UTF-16LE'?>" + body)));
}
