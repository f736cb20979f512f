// The text table: file texts over defaults, line-break escapes, the fallback to the current folder.
#include "support/TestScopes.h"

#include "Files.h"
#include "settings/TextTable.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

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

TEST(TextTable, FileTextsReplaceDefaultsAndEscapesBreakLines)
{
    CTestFolder folder;
    ASSERT_TRUE(plat::ReplaceWholeFile((folder / "vantler.txt").c_str(),
                                       "[Client]\r\nIRNews=First\\nSecond\r\nTwice=a\\n\\nb\r\n"
                                       "Dash=x\x97y\r\n[Other]\r\nIRNews=wrong section\r\n"));
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
    EXPECT_EQ("a \n \nb", texts.Get("Twice", "default"));
    EXPECT_EQ("x\x97y", texts.Get("Dash", "default"));
    EXPECT_EQ("Not in the file", texts.Get("Missing", "Not in the file"));

    // Results share one buffer: a kept pointer shows the latest text.
    const char* first = table.GetText("IRNews", "");
    const char* second = table.GetText("Dash", "");
    EXPECT_EQ(first, second);
    EXPECT_STREQ("x\x97y", first);
}

TEST(TextTable, LongValuesAreCutAndMissingFileFallsBack)
{
    CTestFolder folder;
    ASSERT_TRUE(plat::ReplaceWholeFile((folder / "vantler.txt").c_str(),
                                       "[Main Dialog]\r\nLong=" + std::string(700, 'w') + "\r\n"));
    CTextTable table;
    ASSERT_TRUE(table.Locate(folder.Path() + "\\"));
    {
        CTextSection texts(table, "Main Dialog");
        EXPECT_EQ(std::string(511, 'w'), texts.Get("Long", ""));
    }
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

TEST(TextTable, LockIsReentrantAndHeldBetweenSections)
{
    CTextTable table;
    table.BeginSection("Client");
    table.BeginSection("Menu"); // the same thread does not block
    EXPECT_STREQ("x", table.GetText("k", "x"));
    table.EndSection();
    table.EndSection();

    table.BeginSection("Client");
    bool entered = false;
    std::thread other([&] {
        CTextSection texts(table, "Menu");
        entered = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(entered);
    table.EndSection();
    other.join();
    EXPECT_TRUE(entered);
}
