// Contract of the file calls: listing of links, whole-file reads, safe replacement, temporary files and the
// read-only mark.
#include "contract/ContractBackend.h"
#include "contract/ContractFolder.h"

#include "FileAttributes.h"
#include "Files.h"
#include "support/ScriptedClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using contract::Content;
using contract::WriteTestFile;
using FilesTest = contract::CFolderTest;

// What follows "." and ".." (both folders, both first) in a listing, sorted: a folder's name ends in a
// backslash, a link's in " link". The list given is filled anew, whatever it held.
std::vector<std::string> Listing(std::string folder)
{
    if (folder.back() == '\\')
        folder.pop_back();
    std::vector<plat::DirEntry> entries(1);
    entries[0].name = "kumquat";
    if (!plat::ListDirectory(folder.c_str(), entries) || entries.size() < 2)
        return {"<cannot list>"};
    std::vector<std::string> names;
    for (const plat::DirEntry& entry : entries)
        names.push_back(entry.name + (entry.isDirectory ? "\\" : "") + (entry.isLink ? " link" : ""));
    EXPECT_EQ((std::vector<std::string>{".\\", "..\\"}),
              std::vector<std::string>(names.begin(), names.begin() + 2));
    names.erase(names.begin(), names.begin() + 2);
    std::sort(names.begin(), names.end());
    return names;
}

// A link and its target are one folder by identity; that is what ends a walk through a link back up the tree
// after one round, each file found once.
TEST(FolderLinks, AreListedAsLinksAndHaveTheIdentityOfTheirTarget)
{
    const std::string folder = contract::FolderWithLinkToItself();
    ASSERT_FALSE(folder.empty()) << "no folder with a link to itself";
    EXPECT_EQ((std::vector<std::string>{"loop\\ link", "prefs.js"}), Listing(folder));

    plat::FolderId target, viaLink, viaTwoLinks, parent;
    ASSERT_TRUE(plat::FolderIdentity(folder.c_str(), target));
    ASSERT_TRUE(plat::FolderIdentity((folder + "\\loop").c_str(), viaLink));
    ASSERT_TRUE(plat::FolderIdentity((folder + "\\loop\\loop").c_str(), viaTwoLinks));
    ASSERT_TRUE(plat::FolderIdentity(folder.substr(0, folder.find_last_of('\\')).c_str(), parent));
    EXPECT_TRUE(target == viaLink);
    EXPECT_TRUE(target == viaTwoLinks);
    EXPECT_FALSE(target == parent);
    EXPECT_TRUE(target < parent || parent < target);

    // A file or a missing path has no folder identity, and the output is left alone.
    plat::FolderId untouched;
    untouched.volume = 7;
    EXPECT_FALSE(plat::FolderIdentity((folder + "\\prefs.js").c_str(), untouched));
    EXPECT_FALSE(plat::FolderIdentity((folder + "\\missing").c_str(), untouched));
    EXPECT_EQ(7u, untouched.volume);

    CScriptedClient client;
    client.FindFilesRecursive(folder, "prefs.js");
    EXPECT_EQ(std::vector<std::string>{folder + "\\prefs.js"}, client.FoundFiles());
}

TEST_F(FilesTest, DifferentFoldersHaveDifferentIdentities)
{
    ASSERT_TRUE(contract::MakeFolder(m_folder + "one"));
    ASSERT_TRUE(contract::MakeFolder(m_folder + "two"));
    plat::FolderId one, oneAgain, two;
    ASSERT_TRUE(plat::FolderIdentity((m_folder + "one").c_str(), one));
    ASSERT_TRUE(plat::FolderIdentity((m_folder + "one\\").c_str(), oneAgain));
    ASSERT_TRUE(plat::FolderIdentity((m_folder + "two").c_str(), two));
    EXPECT_TRUE(one == oneAgain);
    EXPECT_FALSE(one == two);
}

TEST_F(FilesTest, WholeFileReadsAndReplacement)
{
    const std::string bytes("a\0b\r\n\r\xff\x1a\n", 9);
    ASSERT_TRUE(WriteTestFile(m_folder + "bytes.bin", bytes));
    ASSERT_TRUE(WriteTestFile(m_folder + "empty.bin", ""));
    EXPECT_EQ(bytes, Content(m_folder + "bytes.bin"));
    EXPECT_EQ("", Content(m_folder + "empty.bin"));
    const std::string target = m_folder + "bytes.bin";
    std::string big(3 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>((i * 7919u) >> 3);
    EXPECT_TRUE(plat::ReplaceWholeFile(target.c_str(), big));
    EXPECT_EQ(big, Content(target));
    // A file that was not there is made.
    EXPECT_TRUE(plat::ReplaceWholeFile((m_folder + "new.txt").c_str(), "fresh"));

    // A failed replacement leaves the original (here a folder) as it was and nothing new beside it.
    ASSERT_TRUE(contract::MakeFolder(m_folder + "inner"));
    ASSERT_TRUE(WriteTestFile(m_folder + "inner\\child.txt", "child"));
    EXPECT_FALSE(plat::ReplaceWholeFile((m_folder + "missing\\keep.txt").c_str(), "new"));
    EXPECT_FALSE(plat::ReplaceWholeFile((m_folder + "inner").c_str(), "new"));
    EXPECT_EQ("child", Content(m_folder + "inner\\child.txt"));
    EXPECT_EQ("fresh", Content(m_folder + "new.txt"));
    EXPECT_EQ((std::vector<std::string>{"bytes.bin", "empty.bin", "inner\\", "new.txt"}), Listing(m_folder));
}

// A marked file keeps its content until the mark is cleared.
TEST_F(FilesTest, AReadOnlyFileKeepsItsContent)
{
    const std::string file = m_folder + "kept.txt";
    ASSERT_TRUE(WriteTestFile(file, "old"));
    EXPECT_TRUE(plat::SetFileReadOnly(file.c_str(), TRUE));
    EXPECT_FALSE(plat::ReplaceWholeFile(file.c_str(), "new"));
    EXPECT_EQ("old", Content(file));
    EXPECT_EQ(std::vector<std::string>{"kept.txt"}, Listing(m_folder)) << "the replacement was left behind";
    EXPECT_TRUE(plat::SetFileReadOnly(file.c_str(), FALSE));
    EXPECT_TRUE(plat::ReplaceWholeFile(file.c_str(), "new"));
    EXPECT_EQ("new", Content(file));
}

TEST_F(FilesTest, TemporaryFiles)
{
    std::string first = "kumquat", second = "kumquat";
    ASSERT_TRUE(plat::CreateTempFileIn(m_folder.c_str(), "nimbrel", first));
    ASSERT_TRUE(plat::CreateTempFileIn(m_folder.substr(0, m_folder.size() - 1).c_str(), "nim", second));
    EXPECT_NE(first, second);
    for (const std::string& path : {first, second}) {
        // GetTempFileNameA: the folder, three letters of the prefix, one to four hex digits, ".tmp".
        ASSERT_LE(m_folder.size() + 8, path.size()) << path;
        ASSERT_GE(m_folder.size() + 11, path.size()) << path;
        EXPECT_EQ(m_folder + "nim", path.substr(0, m_folder.size() + 3));
        const std::string digits = path.substr(m_folder.size() + 3, path.size() - m_folder.size() - 7);
        EXPECT_EQ(std::string::npos, digits.find_first_not_of("0123456789abcdefABCDEF")) << path;
        std::string tail = path.substr(path.size() - 4);
        std::transform(tail.begin(), tail.end(), tail.begin(), ::toupper);
        EXPECT_EQ(".TMP", tail);
        EXPECT_EQ("", Content(path));
    }

    EXPECT_TRUE(plat::RemoveFile(first.c_str()));
    EXPECT_FALSE(plat::RemoveFile(first.c_str()));
    EXPECT_TRUE(plat::RemoveFile(second.c_str()));
    EXPECT_TRUE(Listing(m_folder).empty());
}

TEST_F(FilesTest, OwnTemporaryFilesAreListedWithTheirAgeAndRemoved)
{
    ASSERT_TRUE(contract::MakeFolder(m_folder + "nim1.tmp"));
    for (const char* name : {"nim1A2B.tmp", "NIMff.TMP", "nimbrel.tmp", "nim12345.tmp", "nimzz.tmp",
                             "nim.tmp", "other.txt", "xnim1.tmp"})
        ASSERT_TRUE(WriteTestFile(m_folder + name, "x")) << name;
    // One of them was last written two minutes ago.
    ASSERT_TRUE(contract::AgeTestFile(m_folder + "NIMff.TMP", 120));

    const unsigned long long now = plat::FileTimeNow();
    std::vector<plat::DirEntry> found(1);
    ASSERT_TRUE(plat::ListOwnTempFiles(m_folder.substr(0, m_folder.size() - 1).c_str(), found));
    std::vector<std::string> names;
    for (const plat::DirEntry& entry : found)
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"NIMff.TMP", "nim1A2B.tmp"}), names);
    const unsigned long long second = 10000000ULL;
    for (const plat::DirEntry& entry : found) {
        const long long age = static_cast<long long>(now - entry.writeTime) / static_cast<long long>(second);
        EXPECT_NEAR(entry.name == "NIMff.TMP" ? 120 : 0, age, 5) << entry.name;
    }
    for (const char* name : {"nimbrel.tmp", "other.txt", "nim12345.tmp"})
        EXPECT_FALSE(plat::IsOwnTempFileName(name)) << name;
    EXPECT_TRUE(plat::IsOwnTempFileName("nimABCD.tmp"));

    EXPECT_TRUE(plat::RemoveUnusedFile((m_folder + "NIMff.TMP").c_str()));
    EXPECT_FALSE(plat::RemoveUnusedFile((m_folder + "NIMff.TMP").c_str()));
    ASSERT_TRUE(plat::ListOwnTempFiles(m_folder.c_str(), found));
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ("nim1A2B.tmp", found[0].name);

    // A folder without any gives none; one that is not there cannot be listed.
    ASSERT_TRUE(plat::ListOwnTempFiles((m_folder + "nim1.tmp").c_str(), found));
    EXPECT_TRUE(found.empty());
    EXPECT_FALSE(plat::ListOwnTempFiles((m_folder + "missing").c_str(), found));
    // A replacement leaves no file of that form behind.
    ASSERT_TRUE(plat::ReplaceWholeFile((m_folder + "other.txt").c_str(), "new"));
    ASSERT_TRUE(plat::ListOwnTempFiles(m_folder.c_str(), found));
    EXPECT_EQ(1u, found.size());
}

} // namespace
