// The prefs.js rewriter: exact bytes written, the checks before writing, and writes that must not happen.
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
    const std::string otherHost = "user_pref(\"mail.server.server1.hostname\", \"pop.other.example\");\n";
    const Row rows[] = {
        {"host name changed", otherHost,
         MakeEdit(kHost, m_hostLine.c_str(), CMozillaPrefsFile::FormatStringSetting(kHost, "localhost"))},
        {"host name removed", "user_pref(\"mail.server.server1.name\", \"Home\");\n",
         MakeEdit(kHost, m_hostLine.c_str(), CMozillaPrefsFile::FormatStringSetting(kHost, "localhost"))},
        {"host name now in a comment", "/*\n" + m_hostLine + "\n*/\n",
         MakeEdit(kHost, m_hostLine.c_str(), CMozillaPrefsFile::FormatStringSetting(kHost, "localhost"))},
        {"port line appeared", "user_pref(\"mail.server.server1.port\", 995);\n",
         MakeEdit(kPort, nullptr, CMozillaPrefsFile::FormatIntegerSetting(kPort, 8110), TRUE)},
        {"comment never closed", m_hostLine + "\n/* open\n",
         MakeEdit(kPort, nullptr, CMozillaPrefsFile::FormatIntegerSetting(kPort, 8110), TRUE)},
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
    std::vector<plat::DirEntry> entries;
    ASSERT_TRUE(plat::ListDirectory(m_folder.Path().c_str(), entries));
    EXPECT_EQ(3u, entries.size()) << "a temporary file was left behind";
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
