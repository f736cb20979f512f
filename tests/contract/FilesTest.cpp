// Contract of the file calls: existence, listing, whole-file reads, safe replacement and temporary files.
#include "contract/ContractBackend.h"
#include "contract/ContractFolder.h"

#include "Environment.h"
#include "Files.h"
#include "support/ScriptedClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

class FilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = contract::MakeTestFolder("files");
        ASSERT_FALSE(m_folder.empty());
    }
    void TearDown() override { contract::RemoveTestFolder(m_folder); }

    // The names in the test folder, "." and ".." left out, sorted.
    std::vector<std::string> Names(const std::string& folder) const
    {
        std::vector<plat::DirEntry> entries;
        std::vector<std::string> names;
        if (!plat::ListDirectory(folder.substr(0, folder.size() - 1).c_str(), entries))
            return {"<cannot list>"};
        for (const plat::DirEntry& entry : entries) {
            if (entry.name != "." && entry.name != "..")
                names.push_back(entry.name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string Content(const std::string& path) const
    {
        std::string bytes = "<no file>";
        plat::ReadWholeFile(path.c_str(), bytes);
        return bytes;
    }

    std::string m_folder;
};

TEST_F(FilesTest, PathExists)
{
    ASSERT_TRUE(contract::WriteTestFile(m_folder + "file.txt", "x"));
    const std::string folderNoSlash = m_folder.substr(0, m_folder.size() - 1);
    struct Row
    {
        std::string path;
        BOOL exists;
    };
    const Row rows[] = {
        {m_folder + "file.txt", TRUE},
        {m_folder + "FILE.TXT", TRUE},
        {folderNoSlash, TRUE},
        {m_folder, TRUE},
        {m_folder + "missing", FALSE},
        {m_folder + "missing\\file.txt", FALSE},
        {"", FALSE},
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        // The portable backend's files are case-sensitive: only the exact spelling is pinned there.
        if (i == 1 && !plat::PathExists((m_folder + "File.txt").c_str()) &&
            !plat::PathExists((m_folder + "FILE.TXT").c_str()))
            continue;
        EXPECT_EQ(rows[i].exists, plat::PathExists(rows[i].path.c_str())) << "row " << i;
    }
    EXPECT_FALSE(plat::PathExists(nullptr));
}

TEST_F(FilesTest, ListDirectory)
{
    ASSERT_TRUE(contract::WriteTestFile(m_folder + "b.txt", "b"));
    ASSERT_TRUE(contract::WriteTestFile(m_folder + "A.ini", "a"));
    ASSERT_TRUE(contract::WriteTestFile(m_folder + "noext", ""));
    ASSERT_TRUE(contract::MakeFolder(m_folder + "sub"));
    ASSERT_TRUE(contract::MakeFolder(m_folder + ".dotted"));
    ASSERT_TRUE(contract::WriteTestFile(m_folder + "sub\\inner.txt", "i"));

    std::vector<plat::DirEntry> entries(1);
    entries[0].name = "kumquat";
    const std::string folder = m_folder.substr(0, m_folder.size() - 1);
    ASSERT_TRUE(plat::ListDirectory(folder.c_str(), entries));
    ASSERT_EQ(7u, entries.size());
    // "." and ".." come first, both folders; the rest in the file system's order.
    EXPECT_EQ(".", entries[0].name);
    EXPECT_TRUE(entries[0].isDirectory);
    EXPECT_EQ("..", entries[1].name);
    EXPECT_TRUE(entries[1].isDirectory);
    std::vector<std::string> rest;
    for (size_t i = 2; i < entries.size(); ++i)
        rest.push_back(entries[i].name + (entries[i].isDirectory ? "\\" : ""));
    std::sort(rest.begin(), rest.end());
    EXPECT_EQ((std::vector<std::string>{".dotted\\", "A.ini", "b.txt", "noext", "sub\\"}), rest);

    ASSERT_TRUE(plat::ListDirectory((m_folder + "sub").c_str(), entries));
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ("inner.txt", entries[2].name);
    EXPECT_FALSE(entries[2].isDirectory);

    entries.assign(1, plat::DirEntry());
    EXPECT_FALSE(plat::ListDirectory((m_folder + "missing").c_str(), entries));
    EXPECT_TRUE(entries.empty());
    entries.assign(1, plat::DirEntry());
    EXPECT_FALSE(plat::ListDirectory((m_folder + "b.txt").c_str(), entries));
    EXPECT_TRUE(entries.empty());
}

TEST(FolderLinks, AreListedAsLinksAndTheAccountSearchDoesNotFollowThem)
{
    const std::string folder = contract::FolderWithLinkToItself();
    ASSERT_FALSE(folder.empty()) << "no folder with a link to itself";
    std::vector<plat::DirEntry> entries;
    ASSERT_TRUE(plat::ListDirectory(folder.c_str(), entries));
    std::vector<std::string> listed;
    for (const plat::DirEntry& entry : entries)
        listed.push_back(entry.name + (entry.isDirectory ? "\\" : "") + (entry.isLink ? " link" : ""));
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ((std::vector<std::string>{"..\\", ".\\", "loop\\ link", "prefs.js"}), listed);

    // Followed, the link would give the file again at every level until paths grew too long.
    CScriptedClient client;
    client.FindFilesRecursive(folder, "prefs.js");
    EXPECT_EQ(std::vector<std::string>{folder + "\\prefs.js"}, client.FoundFiles());
}

TEST_F(FilesTest, ReadWholeFileKeepsEveryByte)
{
    std::string bytes("a\0b\r\n\r\xff\x1a\n", 9);
    ASSERT_TRUE(contract::WriteTestFile(m_folder + "bytes.bin", bytes));
    std::string read = "kumquat";
    EXPECT_TRUE(plat::ReadWholeFile((m_folder + "bytes.bin").c_str(), read));
    EXPECT_EQ(bytes, read);

    read = "kumquat";
    EXPECT_FALSE(plat::ReadWholeFile((m_folder + "missing.bin").c_str(), read));
    EXPECT_EQ("kumquat", read);
    EXPECT_FALSE(plat::ReadWholeFile(m_folder.substr(0, m_folder.size() - 1).c_str(), read));
    EXPECT_EQ("kumquat", read);

    ASSERT_TRUE(contract::WriteTestFile(m_folder + "empty.bin", ""));
    EXPECT_TRUE(plat::ReadWholeFile((m_folder + "empty.bin").c_str(), read));
    EXPECT_EQ("", read);
}

TEST_F(FilesTest, ReplaceWholeFile)
{
    const std::string target = m_folder + "prefs.js";
    ASSERT_TRUE(contract::WriteTestFile(target, "old content\r\n"));

    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((i * 7919u) >> 3);
    EXPECT_TRUE(plat::ReplaceWholeFile(target.c_str(), big));
    EXPECT_EQ(big, Content(target));
    EXPECT_EQ((std::vector<std::string>{"prefs.js"}), Names(m_folder));

    EXPECT_TRUE(plat::ReplaceWholeFile(target.c_str(), ""));
    EXPECT_EQ("", Content(target));

    // A file that was not there is made.
    EXPECT_TRUE(plat::ReplaceWholeFile((m_folder + "new.txt").c_str(), "fresh"));
    EXPECT_EQ("fresh", Content(m_folder + "new.txt"));
    EXPECT_EQ((std::vector<std::string>{"new.txt", "prefs.js"}), Names(m_folder));
}

// A failed replacement leaves the original exactly as it was and no new file behind.
TEST_F(FilesTest, ReplaceWholeFileFailures)
{
    const std::string target = m_folder + "keep.txt";
    ASSERT_TRUE(contract::WriteTestFile(target, "original"));

    EXPECT_FALSE(plat::ReplaceWholeFile((m_folder + "missing\\keep.txt").c_str(), "new"));
    EXPECT_FALSE(plat::PathExists((m_folder + "missing").c_str()));

    // The target is a folder: the folder stays and nothing is left beside it.
    ASSERT_TRUE(contract::MakeFolder(m_folder + "inner"));
    ASSERT_TRUE(contract::WriteTestFile(m_folder + "inner\\child.txt", "child"));
    EXPECT_FALSE(plat::ReplaceWholeFile((m_folder + "inner").c_str(), "new"));
    EXPECT_EQ("child", Content(m_folder + "inner\\child.txt"));
    EXPECT_EQ((std::vector<std::string>{"inner", "keep.txt"}), Names(m_folder));

    EXPECT_FALSE(plat::ReplaceWholeFile("", "new"));
    EXPECT_FALSE(plat::ReplaceWholeFile(nullptr, "new"));
    EXPECT_EQ("original", Content(target));
    EXPECT_EQ((std::vector<std::string>{"inner", "keep.txt"}), Names(m_folder));
}

TEST_F(FilesTest, TemporaryFiles)
{
    std::string first = "kumquat", second = "kumquat";
    ASSERT_TRUE(plat::CreateTempFileIn(m_folder.c_str(), "nimbrel", first));
    ASSERT_TRUE(plat::CreateTempFileIn(m_folder.substr(0, m_folder.size() - 1).c_str(), "nim", second));
    EXPECT_NE(first, second);
    for (const std::string* path : {&first, &second}) {
        // GetTempFileNameA: the folder, three letters of the prefix, one to four hex digits, ".tmp".
        ASSERT_LE(m_folder.size() + 8, path->size()) << *path;
        ASSERT_GE(m_folder.size() + 11, path->size()) << *path;
        EXPECT_EQ(m_folder, path->substr(0, m_folder.size()));
        EXPECT_EQ("nim", path->substr(m_folder.size(), 3));
        const std::string digits = path->substr(m_folder.size() + 3, path->size() - m_folder.size() - 7);
        EXPECT_EQ(std::string::npos, digits.find_first_not_of("0123456789abcdefABCDEF")) << *path;
        EXPECT_EQ(".TMP", [&] {
            std::string tail = path->substr(path->size() - 4);
            std::transform(tail.begin(), tail.end(), tail.begin(), ::toupper);
            return tail;
        }());
        EXPECT_EQ("", Content(*path));
    }

    EXPECT_TRUE(plat::RemoveFile(first.c_str()));
    EXPECT_FALSE(plat::PathExists(first.c_str()));
    EXPECT_FALSE(plat::RemoveFile(first.c_str()));
    EXPECT_TRUE(plat::RemoveFile(second.c_str()));
    EXPECT_TRUE(Names(m_folder).empty());

    std::string none = "kumquat";
    EXPECT_FALSE(plat::CreateTempFileIn((m_folder + "missing").c_str(), "nim", none));
    EXPECT_EQ("kumquat", none);
    EXPECT_FALSE(plat::RemoveFile(m_folder.substr(0, m_folder.size() - 1).c_str()));
}

} // namespace

namespace {

TEST_F(FilesTest, CreateAndRemoveFolders)
{
    const std::string deep = m_folder + "one\\two\\three";
    EXPECT_TRUE(plat::CreateFolder(deep.c_str()));
    EXPECT_TRUE(plat::PathExists(deep.c_str()));
    EXPECT_TRUE(plat::CreateFolder((deep + "\\").c_str()));
    ASSERT_TRUE(contract::WriteTestFile(deep + "\\file.txt", "x"));
    ASSERT_TRUE(contract::WriteTestFile(m_folder + "one\\top.txt", "y"));

    // A file stands where a folder should be.
    EXPECT_FALSE(plat::CreateFolder((m_folder + "one\\top.txt").c_str()));
    EXPECT_FALSE(plat::CreateFolder((m_folder + "one\\top.txt\\below").c_str()));
    EXPECT_FALSE(plat::CreateFolder(""));
    EXPECT_FALSE(plat::CreateFolder(nullptr));

    EXPECT_TRUE(plat::RemoveFolderTree((m_folder + "one").c_str()));
    EXPECT_FALSE(plat::PathExists((m_folder + "one").c_str()));
    EXPECT_TRUE(Names(m_folder).empty());
    EXPECT_TRUE(plat::RemoveFolderTree((m_folder + "one").c_str()));
    EXPECT_FALSE(plat::RemoveFolderTree(""));
    EXPECT_FALSE(plat::RemoveFolderTree(nullptr));
}

TEST(EnvironmentValues, SetExpandAndRemove)
{
    std::string expanded = "kumquat";
    ASSERT_TRUE(plat::SetEnvironmentValue("NIMBREL_CONTRACT_VALUE", "C:\\Mail Data"));
    EXPECT_TRUE(plat::ExpandEnvironment("%nimbrel_contract_value%\\Eudora", expanded));
    EXPECT_EQ("C:\\Mail Data\\Eudora", expanded);

    ASSERT_TRUE(plat::SetEnvironmentValue("NIMBREL_CONTRACT_VALUE", nullptr));
    EXPECT_TRUE(plat::ExpandEnvironment("%NIMBREL_CONTRACT_VALUE%\\Eudora", expanded));
    EXPECT_EQ("%NIMBREL_CONTRACT_VALUE%\\Eudora", expanded);
}

} // namespace
