// The prefs.js rewriter: exact bytes written, the checks before writing, writes that must not happen, and
// rewrites from the lines the caller already read, which must give the same file as reading it anew.
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
    writer.AddEdit(MakeEdit(kUser, m_userLine.c_str(),
                            CMozillaPrefsFile::FormatStringSetting(kUser, "anna/pop.mail.example/110")));
    writer.AddEdit(
        MakeEdit(kHost, m_hostLine.c_str(), CMozillaPrefsFile::FormatStringSetting(kHost, "localhost")));
    writer.AddEdit(MakeEdit(kPort, nullptr, CMozillaPrefsFile::FormatIntegerSetting(kPort, 8110), TRUE));
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
    EXPECT_EQ(expected, writer.WrittenBytes());
    EXPECT_EQ(3, writer.LineOfEdit(0));
    EXPECT_EQ(1, writer.LineOfEdit(1));
    EXPECT_EQ(7, writer.LineOfEdit(2));
    EXPECT_EQ(-1, writer.LineOfEdit(3));
    EXPECT_EQ(-1, writer.LineOfEdit(4));

    // Written again from the same starting point: every line already holds what is wanted, the port line is
    // found where it was added and not added a second time.
    CMozillaPrefsWriter again(m_path);
    again.AddEdit(MakeEdit(kUser, m_userLine.c_str(),
                           CMozillaPrefsFile::FormatStringSetting(kUser, "anna/pop.mail.example/110")));
    again.AddEdit(MakeEdit(kPort, nullptr, CMozillaPrefsFile::FormatIntegerSetting(kPort, 8110), TRUE));
    ASSERT_TRUE(again.Commit());
    EXPECT_EQ(expected, FileBytes(m_path));
    EXPECT_EQ(7, again.LineOfEdit(1));
}

TEST_F(MozillaPrefsWriter, AChangedFileIsNotWritten)
{
    struct Row
    {
        const char* what;
        std::string before; // the file as somebody else left it
        CMozillaPrefsWriter::Edit edit;
    };
    const CMozillaPrefsWriter::Edit toLocal =
        MakeEdit(kHost, m_hostLine.c_str(), CMozillaPrefsFile::FormatStringSetting(kHost, "localhost"));
    const CMozillaPrefsWriter::Edit addPort =
        MakeEdit(kPort, nullptr, CMozillaPrefsFile::FormatIntegerSetting(kPort, 8110), TRUE);
    const Row rows[] = {
        {"host name changed", "user_pref(\"mail.server.server1.hostname\", \"pop.other.example\");\n",
         toLocal},
        {"host name removed", "user_pref(\"mail.server.server1.name\", \"Home\");\n", toLocal},
        {"host name now in a comment", "/*\n" + m_hostLine + "\n*/\n", toLocal},
        {"port line appeared", "user_pref(\"mail.server.server1.port\", 995);\n", addPort},
        {"comment never closed", m_hostLine + "\n/* open\n", addPort},
        {"line break in the value", m_hostLine + "\n",
         MakeEdit(kHost, m_hostLine.c_str(), "user_pref(\"mail.server.server1.hostname\", \"a\r\nb\");")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(SampleFile(m_path, row.before));
        CMozillaPrefsWriter writer(m_path);
        writer.AddEdit(row.edit);
        EXPECT_FALSE(writer.Commit());
        EXPECT_EQ(row.before, FileBytes(m_path));
        EXPECT_EQ("", writer.WrittenBytes());
        EXPECT_EQ(-1, writer.LineOfEdit(0));
    }
    EXPECT_EQ(1u, FileCount(m_folder.Path())) << "a temporary file was left behind";
}

TEST_F(MozillaPrefsWriter, AMissingFileOrFolderIsNotCreated)
{
    const std::string missingFolder = m_folder / "gone\\prefs.js";
    for (const std::string& path : {m_path, missingFolder}) {
        CMozillaPrefsWriter writer(path);
        writer.AddEdit(MakeEdit(kPort, nullptr, CMozillaPrefsFile::FormatIntegerSetting(kPort, 8110), TRUE));
        EXPECT_FALSE(writer.Commit()) << path;
        EXPECT_FALSE(plat::PathExists(path.c_str())) << path;
    }
    EXPECT_FALSE(plat::PathExists((m_folder / "gone").c_str()));
}

namespace {

// An edit of key as the caller that read file would make it.
CMozillaPrefsWriter::Edit KnownEdit(const CMozillaPrefsFile& file, const std::string& key,
                                    const std::string& value, BOOL add)
{
    CMozillaPrefsWriter::Edit edit;
    edit.key = key;
    const int line = file.FindSetting(key);
    edit.wasPresent = line >= 0;
    if (edit.wasPresent)
        edit.lineBefore = file.Lines()[static_cast<size_t>(line)];
    edit.lineAfter = CMozillaPrefsFile::FormatStringSetting(key, value);
    edit.addWhenAbsent = add;
    return edit;
}

} // namespace

TEST(MozillaPrefsKnownLines, SameResultAsReadingAnewAndTheLinesFollow)
{
    CTestFolder folder;
    const struct
    {
        const char* what;
        std::string text;
        BOOL written;
        BOOL addTwice = FALSE;
    } rows[] = {
        {"CR+LF file", "user_pref(\"a\", \"1\");\r\n/* x */\r\nuser_pref(\"b\", \"2\");\r\n", TRUE},
        {"LF file without a last line end", "user_pref(\"a\", \"1\");\n# c\nuser_pref(\"b\", \"2\");", TRUE},
        // The line to replace closes a comment: a plain setting line put there would be inside it.
        {"setting after a comment's end",
         "/* open\r\n*/ user_pref(\"a\", \"1\");\r\nuser_pref(\"b\", \"2\");\r\n", FALSE},
        // A comment left open at the end swallows any line added after it.
        {"open comment at the end", "user_pref(\"a\", \"1\");\r\n/* never closed\r\n", FALSE},
        // Only the later of two lines added for one key would count: the first could not be read back.
        {"two lines added for one key", "user_pref(\"a\", \"1\");\r\n", FALSE, TRUE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string path = folder / "prefs.js";
        ASSERT_TRUE(SampleFile(path, row.text));
        CMozillaPrefsFile known;
        known.Load(row.text);
        CMozillaPrefsWriter writer(path);
        writer.AddEdit(KnownEdit(known, "a", "proxy/pop.mail.example/110", FALSE));
        writer.AddEdit(KnownEdit(known, "c", "added", TRUE));
        if (row.addTwice)
            writer.AddEdit(KnownEdit(known, "c", "second", TRUE));
        ASSERT_EQ(row.written, writer.Commit(known));
        if (!row.written) {
            EXPECT_EQ(row.text, FileBytes(path));
            EXPECT_EQ(row.text, known.Bytes());
            continue;
        }
        CMozillaPrefsFile anew;
        anew.Load(FileBytes(path));
        EXPECT_EQ(anew.Bytes(), known.Bytes());
        EXPECT_EQ(anew.Lines(), known.Lines());
        for (const char* key : {"a", "b", "c"}) {
            EXPECT_EQ(anew.FindSetting(key), known.FindSetting(key)) << key;
            std::string fromAnew, fromKnown;
            EXPECT_TRUE(known.GetString(known.FindSetting(key), fromKnown)) << key;
            anew.GetString(anew.FindSetting(key), fromAnew);
            EXPECT_EQ(fromAnew, fromKnown) << key;
        }
        // A second write starts from the lines the first one left.
        CMozillaPrefsWriter again(path);
        again.AddEdit(KnownEdit(known, "c", "again", TRUE));
        ASSERT_TRUE(again.Commit(known));
        std::string value;
        ASSERT_TRUE(known.GetString(known.FindSetting("c"), value));
        EXPECT_EQ("again", value);
        EXPECT_EQ(FileBytes(path), known.Bytes());
    }
}

TEST(MozillaPrefsKnownLines, AFileChangedSinceIsReadAnew)
{
    CTestFolder folder;
    const std::string path = folder / "prefs.js";
    ASSERT_TRUE(SampleFile(path, "user_pref(\"a\", \"1\");\r\n"));
    CMozillaPrefsFile known;
    known.Load("user_pref(\"a\", \"1\");\r\n");
    // The client added a line meanwhile: it is kept, and the caller's lines take it too.
    ASSERT_TRUE(SampleFile(path, "user_pref(\"a\", \"1\");\r\nuser_pref(\"z\", \"9\");\r\n"));
    CMozillaPrefsWriter writer(path);
    writer.AddEdit(KnownEdit(known, "a", "2", FALSE));
    ASSERT_TRUE(writer.Commit(known));
    EXPECT_EQ("user_pref(\"a\", \"2\");\r\nuser_pref(\"z\", \"9\");\r\n", FileBytes(path));
    EXPECT_EQ(1, known.FindSetting("z"));
    EXPECT_EQ(FileBytes(path), known.Bytes());
}
