// The prefs.js rewriter: exact bytes written, no write over a file changed since it was read, and a rewrite
// from the lines the caller read keeping what the client added since.
#include "support/ClientChecks.h"
#include "support/TestScopes.h"

#include "clients/MozillaPrefsFile.h"
#include "clients/MozillaPrefsWriter.h"
#include "Files.h"
#include "fixtures/SampleWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kHost[] = "mail.server.server1.hostname";
const char kUser[] = "mail.server.server1.userName";
const char kPort[] = "mail.server.server1.port";

CMozillaPrefsWriter::Edit MakeEdit(const char* key, const char* before, const std::string& after,
                                   BOOL addWhenAbsent = FALSE)
{
    CMozillaPrefsWriter::Edit edit;
    edit.key = key;
    edit.wasPresent = before != nullptr;
    edit.lineBefore = before ? before : "";
    edit.lineAfter = after;
    edit.addWhenAbsent = addWhenAbsent;
    return edit;
}

class MozillaPrefsWriter : public ::testing::Test
{
protected:
    MozillaPrefsWriter() : m_path(m_folder / "prefs.js") {}

    // LF line ends and a last line without one: the rewrite gives every line CR+LF.
    const std::string m_original = "# Mozilla User Preferences\n"
                                   "user_pref(\"mail.server.server1.hostname\", \"pop.mail.example\");\n"
                                   "user_pref(\"mail.server.server1.name\", \"Home\");\n"
                                   "user_pref(\"mail.server.server1.userName\", \"anna\");\r\n"
                                   "user_pref(\"mail.server.server2.port\", 995);\n"
                                   "\n"
                                   "user_pref(\"z.last\", true);";
    const std::string m_hostLine = "user_pref(\"mail.server.server1.hostname\", \"pop.mail.example\");";
    const std::string m_userLine = "user_pref(\"mail.server.server1.userName\", \"anna\");";

    CTestFolder m_folder;
    std::string m_path;
};

} // namespace

TEST_F(MozillaPrefsWriter, ReplacesTheLinesAndAppendsOnlyWhenAllowed)
{
    ASSERT_TRUE(SampleFile(m_path, m_original));
    CMozillaPrefsWriter writer(m_path);
    writer.AddEdit(
        MakeEdit(kUser, m_userLine.c_str(), prefs::FormatStringSetting(kUser, "anna/pop.mail.example/110")));
    writer.AddEdit(MakeEdit(kHost, m_hostLine.c_str(), prefs::FormatStringSetting(kHost, "localhost")));
    writer.AddEdit(MakeEdit(kPort, nullptr, prefs::FormatIntegerSetting(kPort, 8110), TRUE));
    writer.AddEdit(MakeEdit("mail.server.server1.absent", nullptr, "user_pref(\"x\", 1);", FALSE));
    ASSERT_TRUE(writer.Commit());

    const std::string expected =
        "# Mozilla User Preferences\r\n"
        "user_pref(\"mail.server.server1.hostname\", \"localhost\");\r\n"
        "user_pref(\"mail.server.server1.name\", \"Home\");\r\n"
        "user_pref(\"mail.server.server1.userName\", \"anna/pop.mail.example/110\");\r\n"
        "user_pref(\"mail.server.server2.port\", 995);\r\n"
        "\r\n"
        "user_pref(\"z.last\", true);\r\n"
        "user_pref(\"mail.server.server1.port\", 8110);\r\n";
    EXPECT_EQ(expected, FileBytes(m_path));

    // Written again from the same starting point: every line already holds what is wanted, and the port line
    // is not added a second time.
    CMozillaPrefsWriter again(m_path);
    again.AddEdit(
        MakeEdit(kUser, m_userLine.c_str(), prefs::FormatStringSetting(kUser, "anna/pop.mail.example/110")));
    again.AddEdit(MakeEdit(kPort, nullptr, prefs::FormatIntegerSetting(kPort, 8110), TRUE));
    ASSERT_TRUE(again.Commit());
    EXPECT_EQ(expected, FileBytes(m_path));
}

TEST_F(MozillaPrefsWriter, AChangedFileIsNotWritten)
{
    // The client changed the line since it was read, or added the line this edit would add: writing would
    // overwrite its setting, or leave two.
    const struct
    {
        const char* what;
        std::string before;
        CMozillaPrefsWriter::Edit edit;
    } rows[] = {
        {"host name changed", "user_pref(\"mail.server.server1.hostname\", \"pop.other.example\");\n",
         MakeEdit(kHost, m_hostLine.c_str(), prefs::FormatStringSetting(kHost, "localhost"))},
        {"port line appeared", "user_pref(\"mail.server.server1.port\", 995);\n",
         MakeEdit(kPort, nullptr, prefs::FormatIntegerSetting(kPort, 8110), TRUE)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(SampleFile(m_path, row.before));
        CMozillaPrefsWriter writer(m_path);
        writer.AddEdit(row.edit);
        EXPECT_FALSE(writer.Commit());
        EXPECT_EQ(row.before, FileBytes(m_path));
    }
    EXPECT_EQ(1u, FileCount(m_folder.Path())) << "a temporary file was left behind";
}

TEST_F(MozillaPrefsWriter, AFileChangedSinceTheCallerReadItIsReadAnew)
{
    ASSERT_TRUE(SampleFile(m_path, "user_pref(\"a\", \"1\");\r\n"));
    CMozillaPrefsFile known;
    known.Load("user_pref(\"a\", \"1\");\r\n");
    // The client added a line meanwhile: it is kept, and the caller's lines take it too.
    ASSERT_TRUE(SampleFile(m_path, "user_pref(\"a\", \"1\");\r\nuser_pref(\"z\", \"9\");\r\n"));
    CMozillaPrefsWriter writer(m_path);
    writer.AddEdit(MakeEdit("a", "user_pref(\"a\", \"1\");", prefs::FormatStringSetting("a", "2")));
    ASSERT_TRUE(writer.Commit(known));
    EXPECT_EQ("user_pref(\"a\", \"2\");\r\nuser_pref(\"z\", \"9\");\r\n", FileBytes(m_path));
    EXPECT_EQ(1, known.FindSetting("z"));
    EXPECT_EQ(FileBytes(m_path), known.Bytes());
}

// The caller's lines after a write read as the file read afresh does, whatever the order of the edits, and
// also when the added lines make the key index grow.
TEST_F(MozillaPrefsWriter, TheCallersLinesReadAsTheWrittenFile)
{
    // Written by hand, with more blanks than the client writes: the key stands elsewhere in the new line.
    std::string before;
    for (int i = 0; i < 8; ++i)
        before += "user_pref(   \"k" + std::to_string(i) + "\",  \"v\");\r\n";
    // With every key indexed at load the index grows between the edits below; with the program's own prefix
    // the replaced line was left unparsed and is indexed only now.
    for (const char* indexedPrefix : {"", CMozillaPrefsFile::kMailKeys}) {
        ASSERT_TRUE(SampleFile(m_path, before));
        CMozillaPrefsFile known(indexedPrefix);
        known.Load(before);
        CMozillaPrefsWriter writer(m_path);
        // An added line first, then a replaced one.
        writer.AddEdit(MakeEdit("added", nullptr, prefs::FormatStringSetting("added", "a"), TRUE));
        writer.AddEdit(MakeEdit("k3", "user_pref(   \"k3\",  \"v\");",
                                prefs::FormatStringSetting("k3", "a much longer value than before")));
        ASSERT_TRUE(writer.Commit(known)) << indexedPrefix;
        CMozillaPrefsFile reread("");
        reread.Load(FileBytes(m_path));
        ASSERT_EQ(reread.Bytes(), known.Bytes());
        ASSERT_EQ(reread.Lines(), known.Lines());
        for (const std::string key : {"k0", "k3", "k7", "added", "missing"}) {
            EXPECT_EQ(reread.FindSetting(key), known.FindSetting(key)) << key;
            std::string a, b;
            EXPECT_EQ(reread.GetString(reread.FindSetting(key), a),
                      known.GetString(known.FindSetting(key), b));
            EXPECT_EQ(a, b) << key;
        }
        std::string value;
        ASSERT_TRUE(known.GetString(known.FindSetting("k3"), value));
        EXPECT_EQ("a much longer value than before", value);
        // The line now indexed is the one a second rewrite finds.
        CMozillaPrefsWriter again(m_path);
        again.AddEdit(MakeEdit("k3",
                               prefs::FormatStringSetting("k3", "a much longer value than before").c_str(),
                               prefs::FormatStringSetting("k3", "short")));
        ASSERT_TRUE(again.Commit(known));
        ASSERT_TRUE(known.GetString(known.FindSetting("k3"), value));
        EXPECT_EQ("short", value);
        EXPECT_EQ(3, known.FindSetting("k3"));
    }
}

// A line taken out: the others keep their bytes and the caller's lines follow; a line changed since, or an
// earlier line of the key that would come into force, stops the write.
TEST_F(MozillaPrefsWriter, RemovedLinesGoWholeAndOnlyWhenTheKeyThenReadsUnset)
{
    const std::string real = "user_pref(\"mail.server.server1.realhostname\", \"localhost\");";
    const std::string before = m_hostLine + "\r\n" + real + "\r\n" + m_userLine + "\r\n";
    ASSERT_TRUE(SampleFile(m_path, before));
    CMozillaPrefsFile known;
    known.Load(before);
    CMozillaPrefsWriter writer(m_path);
    CMozillaPrefsWriter::Edit remove = MakeEdit("mail.server.server1.realhostname", real.c_str(), "");
    remove.removeLine = TRUE;
    writer.AddEdit(remove);
    writer.AddEdit(MakeEdit(kUser, m_userLine.c_str(), prefs::FormatStringSetting(kUser, "anna.b")));
    writer.AddEdit(MakeEdit(kPort, nullptr, prefs::FormatIntegerSetting(kPort, 995), TRUE));
    ASSERT_TRUE(writer.Commit(known));
    const std::string after = m_hostLine + "\r\n" + prefs::FormatStringSetting(kUser, "anna.b") + "\r\n" +
                              prefs::FormatIntegerSetting(kPort, 995) + "\r\n";
    EXPECT_EQ(after, FileBytes(m_path));
    EXPECT_EQ(-1, writer.LineOfEdit(0));
    EXPECT_EQ(1, writer.LineOfEdit(1));
    EXPECT_EQ(2, writer.LineOfEdit(2));
    EXPECT_EQ(after, known.Bytes());
    EXPECT_EQ(1, known.FindSetting(kUser));
    EXPECT_EQ(-1, known.FindSetting("mail.server.server1.realhostname"));

    // Gone already: nothing left to do, and the write goes on.
    CMozillaPrefsWriter again(m_path);
    again.AddEdit(remove);
    EXPECT_TRUE(again.Commit());
    EXPECT_EQ(after, FileBytes(m_path));

    const struct
    {
        const char* what;
        std::string bytes;
    } refused[] = {
        {"changed since", "user_pref(\"mail.server.server1.realhostname\", \"pop.new.example\");\r\n"},
        {"an earlier line would count", real + "\r\n" + real + "\r\n"},
    };
    for (const auto& row : refused) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(SampleFile(m_path, row.bytes));
        CMozillaPrefsWriter refusing(m_path);
        refusing.AddEdit(remove);
        EXPECT_FALSE(refusing.Commit());
        EXPECT_EQ(row.bytes, FileBytes(m_path));
    }
}
