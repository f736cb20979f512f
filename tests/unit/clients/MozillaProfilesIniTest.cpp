// Thunderbird's profiles.ini as the client writes it and as users leave it: the profiles in file order, the
// files that are reported, and profile folders that must not lead out of the base folder.
#include "clients/MozillaProfilesIni.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kWritten[] = "[Install8216C80C92C4E828]\r\n"
                        "Default=Profiles/x1y2z3.default-release\r\n"
                        "Locked=1\r\n"
                        "\r\n"
                        "[Profile1]\r\n"
                        "Name=default\r\n"
                        "IsRelative=1\r\n"
                        "Path=Profiles/ab12cd34.default\r\n"
                        "\r\n"
                        "[Profile0]\r\n"
                        "Name=Anna at work\r\n"
                        "IsRelative=0\r\n"
                        "Path=D:\\Mail\\Thunderbird\\anna\r\n"
                        "Default=1\r\n"
                        "\r\n"
                        "[General]\r\n"
                        "StartWithLastProfile=1\r\n"
                        "Version=2\r\n";

std::string WithLf(std::string text)
{
    std::string lf;
    for (char c : text) {
        if (c != '\r')
            lf += c;
    }
    return lf;
}

} // namespace

TEST(MozillaProfilesIni, ProfilesInFileOrderWhateverTheLineEnds)
{
    for (const std::string& text :
         {std::string(kWritten), WithLf(kWritten), "\xEF\xBB\xBF" + WithLf(kWritten)}) {
        std::vector<MozillaProfile> profiles(3);
        ASSERT_TRUE(ParseMozillaProfilesIni(text, profiles));
        ASSERT_EQ(2u, profiles.size());
        EXPECT_EQ("Profile1", profiles[0].section);
        EXPECT_EQ("default", profiles[0].name);
        EXPECT_EQ("Profiles/ab12cd34.default", profiles[0].path);
        EXPECT_TRUE(profiles[0].isRelative);
        EXPECT_FALSE(profiles[0].isDefault);
        EXPECT_EQ("Anna at work", profiles[1].name);
        EXPECT_EQ("D:\\Mail\\Thunderbird\\anna", profiles[1].path);
        EXPECT_FALSE(profiles[1].isRelative);
        EXPECT_TRUE(profiles[1].isDefault);
    }
    // Blanks, comments, CR-only line ends, a section named twice, a key given twice, names that only look
    // like profile sections.
    std::vector<MozillaProfile> profiles;
    ASSERT_TRUE(ParseMozillaProfilesIni("; made by hand\r[Profile7]\r  Name = Zo\xC3\xAB \r# no\rPath=old\r"
                                        "[Profile]\rPath=x\r[Profile1a]\rPath=y\r[profile2]\rPath=z\r"
                                        "[Profile7]\rPath= Profiles/zoe \rIsRelative=1\r",
                                        profiles));
    ASSERT_EQ(1u, profiles.size());
    EXPECT_EQ("Zo\xC3\xAB", profiles[0].name);
    EXPECT_EQ("Profiles/zoe", profiles[0].path);
    EXPECT_TRUE(profiles[0].isRelative);
}

TEST(MozillaProfilesIni, FilesTheClientWouldNotWriteAreReported)
{
    std::vector<MozillaProfile> profiles(1);
    EXPECT_FALSE(ParseMozillaProfilesIni("", profiles));
    EXPECT_TRUE(profiles.empty());
    EXPECT_FALSE(ParseMozillaProfilesIni("Name=default\r\nPath=Profiles/a\r\n", profiles));
    EXPECT_TRUE(profiles.empty());
    // A profile without a Path (or with an empty one) is reported; the others are still given.
    EXPECT_FALSE(ParseMozillaProfilesIni("[Profile0]\nName=lost\n[Profile1]\nPath=Profiles/b\nIsRelative=1\n"
                                         "[Profile2]\nPath=\n",
                                         profiles));
    ASSERT_EQ(1u, profiles.size());
    EXPECT_EQ("Profiles/b", profiles[0].path);
    // Keys under a broken header belong to no section.
    EXPECT_TRUE(ParseMozillaProfilesIni("[General]\n[Profile0\nPath=Profiles/c\n", profiles));
    EXPECT_TRUE(profiles.empty());
    // Only [General]: a file without profiles, but a file as the client writes it.
    EXPECT_TRUE(ParseMozillaProfilesIni("[General]\r\nStartWithLastProfile=1\r\n", profiles));
    EXPECT_TRUE(profiles.empty());
}

TEST(MozillaProfilesIni, ProfileFoldersStayInsideTheBaseFolder)
{
    const std::string base = "C:\\Users\\anna\\AppData\\Roaming\\Thunderbird";
    struct Row
    {
        const char* path;
        bool relative;
        const char* resolved; // nullptr: refused
    };
    const Row rows[] = {
        {"Profiles/ab12cd34.default", true,
         "C:\\Users\\anna\\AppData\\Roaming\\Thunderbird\\Profiles\\ab12cd34.default"},
        {"Profiles//./x\\y/", true, "C:\\Users\\anna\\AppData\\Roaming\\Thunderbird\\Profiles\\x\\y"},
        {"a", true, "C:\\Users\\anna\\AppData\\Roaming\\Thunderbird\\a"},
        {"../Other", true, nullptr},
        {"Profiles/../../x", true, nullptr},
        {"Profiles/..", true, nullptr},
        {"Profiles/.. /x", true, nullptr},
        {"Profiles/.../x", true, nullptr},
        {"Profiles/x.", true, nullptr},
        {"/Profiles/x", true, nullptr},
        {"\\\\server\\share", true, nullptr},
        {"C:/Profiles", true, nullptr},
        {"Profiles/x:stream", true, nullptr},
        {"./.", true, nullptr},
        {"", true, nullptr},
        {"D:\\Mail\\anna", false, "D:\\Mail\\anna"},
        {"D:/Mail/anna", false, "D:\\Mail\\anna"},
        {"\\\\server\\share\\anna", false, "\\\\server\\share\\anna"},
        {"Profiles/x", false, nullptr},
        {"D:", false, nullptr},
        {"\\Mail", false, nullptr},
    };
    for (const Row& row : rows) {
        MozillaProfile profile;
        profile.path = row.path;
        profile.isRelative = row.relative;
        std::string path = "kumquat";
        EXPECT_EQ(row.resolved != nullptr, ResolveMozillaProfilePath(base, profile, path) != FALSE)
            << row.path;
        EXPECT_EQ(row.resolved ? row.resolved : "kumquat", path) << row.path;
    }
    // A base folder that already ends in a separator gets no second one.
    MozillaProfile profile;
    profile.path = "Profiles/a";
    profile.isRelative = true;
    std::string path;
    ASSERT_TRUE(ResolveMozillaProfilePath("C:\\TB\\", profile, path));
    EXPECT_EQ("C:\\TB\\Profiles\\a", path);
}
