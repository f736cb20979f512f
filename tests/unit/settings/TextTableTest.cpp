// The text table: file texts over defaults, the fallback to the current folder.
#include "support/TestScopes.h"

#include "Files.h"
#include "settings/TextTable.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

// The process's current folder is folder for the scope.
class CCurrentFolderScope
{
public:
    explicit CCurrentFolderScope(std::string folder) : m_saved(std::filesystem::current_path())
    {
        if (std::filesystem::path::preferred_separator == '/') {
            for (char& c : folder) {
                if (c == '\\')
                    c = '/';
            }
        }
        std::filesystem::current_path(folder);
    }
    ~CCurrentFolderScope() { std::filesystem::current_path(m_saved); }

private:
    std::filesystem::path m_saved;
};

} // namespace

TEST(TextTable, FileTextsReplaceDefaultsAndAMissingFileFallsBack)
{
    CTestFolder folder;
    ASSERT_TRUE(
        plat::ReplaceWholeFile((folder / "vantler.txt").c_str(),
                               "[Client]\r\nIRNews=First\\nSecond\r\n[Other]\r\nIRNews=wrong section\r\n"));
    CTextTable table;
    EXPECT_EQ("", table.Path());
    table.BeginSection("Client");
    // Before Locate: the defaults, escapes included.
    EXPECT_STREQ("Default \nline", table.GetText("IRNews", "Default\\nline"));
    table.EndSection();

    EXPECT_TRUE(table.Locate(folder.Path() + "\\"));
    EXPECT_EQ(folder / "vantler.txt", table.Path());
    CTextSection texts(table, "client"); // section names match in any case
    EXPECT_EQ("First \nSecond", texts.Get("irnews", "default"));
    EXPECT_EQ("Not in the file", texts.Get("Missing", "Not in the file"));

    // Without the file, Locate fails and the name is left as the current folder's.
    CTestFolder empty;
    EXPECT_FALSE(table.Locate(empty.Path() + "\\"));
    EXPECT_EQ(".\\vantler.txt", table.Path());
}

TEST(TextTable, UnknownInstallFolderReadsTheCurrentOne)
{
    // No package key and a start by bare name: the install folder is unknown, the file beside the user.
    CTestFolder folder;
    ASSERT_TRUE(
        plat::ReplaceWholeFile((folder / "vantler.txt").c_str(), "[Client]\r\nIRNews=Found here\r\n"));
    CCurrentFolderScope current(folder.Path());
    CTextTable table;
    EXPECT_TRUE(table.Locate(""));
    EXPECT_EQ(".\\vantler.txt", table.Path());
    CTextSection texts(table, "Client");
    EXPECT_EQ("Found here", texts.Get("IRNews", "default"));
}
