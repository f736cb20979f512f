// Contract of a file that another program holds open: it is seen as held, keeps its bytes through a refused
// replacement or deletion, and nothing is left beside it.
#include "contract/ContractBackend.h"
#include "contract/ContractFolder.h"

#include "Files.h"
#include "LastError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using contract::Content;
using contract::WriteTestFile;
using HeldFileTest = contract::CFolderTest;

// The folder's names other than "." and "..".
std::vector<std::string> Names(const std::string& folder)
{
    std::vector<plat::DirEntry> entries;
    std::vector<std::string> names;
    if (!plat::ListDirectory(folder.substr(0, folder.size() - 1).c_str(), entries))
        return {"<cannot list>"};
    for (const plat::DirEntry& entry : entries) {
        if (entry.name != "." && entry.name != "..")
            names.push_back(entry.name);
    }
    return names;
}

BOOL IsSharingError(DWORD code)
{
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
}

TEST_F(HeldFileTest, IsRefusedAndKeptAsItWasUntilReleased)
{
    const std::string store = m_folder + "prefs.js";
    const std::string bytes("user_pref(\"a\", 1);\r\n\xff\0end", 26);
    ASSERT_TRUE(WriteTestFile(store, bytes));
    ASSERT_TRUE(WriteTestFile(m_folder + "other.txt", "other"));

    // Nobody holds it; a missing path or a folder is not held either.
    EXPECT_FALSE(plat::IsFileHeldOpen(store.c_str()));
    EXPECT_FALSE(plat::IsFileHeldOpen((m_folder + "missing.js").c_str()));
    EXPECT_FALSE(plat::IsFileHeldOpen(m_folder.substr(0, m_folder.size() - 1).c_str()));
    EXPECT_FALSE(plat::IsFileHeldOpen(""));

    ASSERT_TRUE(contract::HoldTestFile(store, true));
    EXPECT_TRUE(plat::IsFileHeldOpen(store.c_str()));
    EXPECT_FALSE(plat::IsFileHeldOpen((m_folder + "other.txt").c_str()));
    // A holder that shares reading lets the store be read, not replaced nor deleted.
    EXPECT_EQ(bytes, Content(store));
    plat::SetLastErrorCode(0);
    EXPECT_FALSE(plat::ReplaceWholeFile(store.c_str(), "replaced"));
    EXPECT_TRUE(IsSharingError(plat::LastErrorCode())) << plat::LastErrorCode();
    plat::SetLastErrorCode(0);
    EXPECT_FALSE(plat::RemoveFile(store.c_str()));
    EXPECT_TRUE(IsSharingError(plat::LastErrorCode())) << plat::LastErrorCode();
    EXPECT_FALSE(plat::RemoveUnusedFile(store.c_str()));
    EXPECT_EQ(bytes, Content(store));
    // The replacement's new file was removed again, and a file beside the held one is written as ever.
    EXPECT_EQ((std::vector<std::string>{"other.txt", "prefs.js"}), Names(m_folder));
    EXPECT_TRUE(plat::ReplaceWholeFile((m_folder + "other.txt").c_str(), "new other"));
    EXPECT_EQ("new other", Content(m_folder + "other.txt"));

    contract::ReleaseTestFile(store);
    EXPECT_FALSE(plat::IsFileHeldOpen(store.c_str()));
    EXPECT_TRUE(plat::ReplaceWholeFile(store.c_str(), "replaced"));
    EXPECT_EQ("replaced", Content(store));
    EXPECT_EQ((std::vector<std::string>{"other.txt", "prefs.js"}), Names(m_folder));
}

TEST_F(HeldFileTest, AHolderThatSharesNothingKeepsReadersOut)
{
    const std::string lock = m_folder + "parent.lock";
    ASSERT_TRUE(WriteTestFile(lock, "lock"));
    EXPECT_FALSE(contract::HoldTestFile(m_folder + "missing.lock", false));

    ASSERT_TRUE(contract::HoldTestFile(lock, false));
    EXPECT_TRUE(plat::IsFileHeldOpen(lock.c_str()));
    std::string bytes = "unchanged";
    EXPECT_FALSE(plat::ReadWholeFile(lock.c_str(), bytes));
    EXPECT_EQ("unchanged", bytes);
    EXPECT_FALSE(plat::ReplaceWholeFile(lock.c_str(), "x"));
    EXPECT_FALSE(plat::RemoveFile(lock.c_str()));
    contract::ReleaseTestFile(lock);

    EXPECT_FALSE(plat::IsFileHeldOpen(lock.c_str()));
    EXPECT_EQ("lock", Content(lock));
    EXPECT_TRUE(plat::RemoveFile(lock.c_str()));
    EXPECT_TRUE(Names(m_folder).empty());
}

} // namespace
