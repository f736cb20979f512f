// Contract of text beyond the ANSI code page: registry key names, value names and string data, and file and
// folder names, go in as UTF-8 and come back exactly, with sizes counted in UTF-8 bytes.
#include "contract/ContractFolder.h"

#include "Files.h"
#include "Registry.h"
#include "fixtures/UnicodeNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kBase = "Software\\NimbrelContractUnicode";

class UnicodeRegistryTest : public ::testing::Test
{
protected:
    void SetUp() override { plat::RegRemoveTree(HKEY_CURRENT_USER, kBase); }
    void TearDown() override { plat::RegRemoveTree(HKEY_CURRENT_USER, kBase); }
};

TEST_F(UnicodeRegistryTest, NamesAndStringsComeBackExactly)
{
    for (const char* name : kUnicodeNames) {
        SCOPED_TRACE(name);
        const std::string path = std::string(kBase) + "\\" + name;
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, plat::RegCreate(HKEY_CURRENT_USER, path.c_str(), KEY_ALL_ACCESS, &key));
        const std::string user = std::string(name) + "/pop." + name + ".example/110";
        ASSERT_EQ(ERROR_SUCCESS,
                  plat::RegWrite(key, name, REG_SZ, user.c_str(), static_cast<DWORD>(user.size() + 1)));
        // The size is the UTF-8 one with the NUL; one byte less does not fit and leaves the buffer alone.
        DWORD type = REG_NONE, size = 0;
        EXPECT_EQ(ERROR_SUCCESS, plat::RegQuery(key, name, &type, nullptr, &size));
        EXPECT_EQ(REG_SZ, type);
        EXPECT_EQ(user.size() + 1, size);
        std::vector<char> buffer(user.size() + 8, '\xBD');
        size = static_cast<DWORD>(user.size());
        EXPECT_EQ(ERROR_MORE_DATA, plat::RegQuery(key, name, &type, buffer.data(), &size));
        EXPECT_EQ(user.size() + 1, size);
        EXPECT_EQ('\xBD', buffer[0]);
        size = static_cast<DWORD>(buffer.size());
        ASSERT_EQ(ERROR_SUCCESS, plat::RegQuery(key, name, &type, buffer.data(), &size));
        EXPECT_EQ(user + '\0', std::string(buffer.data(), size));
        // Enumeration gives the value's name and data the same way.
        char valueName[64];
        DWORD nameLength = sizeof(valueName);
        size = static_cast<DWORD>(buffer.size());
        ASSERT_EQ(ERROR_SUCCESS,
                  plat::RegValueAt(key, 0, valueName, &nameLength, &type, buffer.data(), &size));
        EXPECT_EQ(std::string(name), std::string(valueName, nameLength));
        EXPECT_EQ(user + '\0', std::string(buffer.data(), size));
        plat::RegClose(key);
    }
    // The subkeys are listed by their names, and the longest name is counted in bytes.
    HKEY base = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, kBase, KEY_READ, &base));
    DWORD count = 0, longest = 0;
    EXPECT_EQ(ERROR_SUCCESS, plat::RegCountSubkeys(base, &count, &longest));
    EXPECT_EQ(4u, count);
    EXPECT_EQ(7u, longest); // "Łukasz": two bytes for the first letter
    std::vector<std::string> names;
    for (DWORD i = 0; i < count; ++i) {
        char name[64];
        DWORD length = sizeof(name);
        ASSERT_EQ(ERROR_SUCCESS, plat::RegSubkeyName(base, i, name, &length));
        names.push_back(std::string(name, length));
    }
    plat::RegClose(base);
    std::vector<std::string> expected(std::begin(kUnicodeNames), std::end(kUnicodeNames));
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, names);
}

using UnicodePathTest = contract::CFolderTest;

TEST_F(UnicodePathTest, FoldersAndFilesAreFoundAndWritten)
{
    for (const char* name : kUnicodeNames) {
        SCOPED_TRACE(name);
        const std::string folder = m_folder + "Mail\\" + name;
        ASSERT_TRUE(plat::CreateFolder(folder.c_str()));
        const std::string file = folder + "\\" + name + ".cfg";
        ASSERT_TRUE(plat::ReplaceWholeFile(file.c_str(), std::string(name) + "\r\n"));
        EXPECT_TRUE(plat::PathExists(file.c_str()));
        std::string bytes;
        ASSERT_TRUE(plat::ReadWholeFile(file.c_str(), bytes));
        EXPECT_EQ(std::string(name) + "\r\n", bytes);
        // Written again in place: the new content, and no temporary file left beside it.
        ASSERT_TRUE(plat::ReplaceWholeFile(file.c_str(), "again"));
        ASSERT_TRUE(plat::ReadWholeFile(file.c_str(), bytes));
        EXPECT_EQ("again", bytes);
        std::vector<plat::DirEntry> entries;
        ASSERT_TRUE(plat::ListDirectory(folder.c_str(), entries));
        std::vector<std::string> listed;
        for (const plat::DirEntry& entry : entries) {
            if (entry.name != "." && entry.name != "..")
                listed.push_back(entry.name);
        }
        EXPECT_EQ(std::vector<std::string>{std::string(name) + ".cfg"}, listed);
    }
    std::vector<plat::DirEntry> entries;
    ASSERT_TRUE(plat::ListDirectory((m_folder + "Mail").c_str(), entries));
    std::vector<std::string> folders;
    for (const plat::DirEntry& entry : entries) {
        if (entry.name != "." && entry.name != "..") {
            EXPECT_TRUE(entry.isDirectory) << entry.name;
            folders.push_back(entry.name);
        }
    }
    std::vector<std::string> expected(std::begin(kUnicodeNames), std::end(kUnicodeNames));
    std::sort(folders.begin(), folders.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, folders);
    const std::string first = m_folder + "Mail\\" + kUnicodeNames[0];
    EXPECT_TRUE(plat::RemoveFolderTree(first.c_str()));
    EXPECT_FALSE(plat::PathExists(first.c_str()));
}

} // namespace
