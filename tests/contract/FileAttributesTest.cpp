// Contract of the read-only mark: a marked file keeps its content until the mark is cleared.
#include "contract/ContractFolder.h"

#include "FileAttributes.h"
#include "Files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Content(const std::string& path)
{
    std::string bytes = "<no file>";
    plat::ReadWholeFile(path.c_str(), bytes);
    return bytes;
}

} // namespace

TEST(FileAttributes, AReadOnlyFileKeepsItsContent)
{
    const std::string folder = contract::MakeTestFolder("attributes");
    ASSERT_FALSE(folder.empty());
    const std::string file = folder + "kept.txt";
    ASSERT_TRUE(contract::WriteTestFile(file, "old"));

    EXPECT_TRUE(plat::SetFileReadOnly(file.c_str(), TRUE));
    EXPECT_TRUE(plat::SetFileReadOnly(file.c_str(), TRUE));
    EXPECT_FALSE(plat::ReplaceWholeFile(file.c_str(), "new"));
    EXPECT_EQ("old", Content(file));
    std::vector<plat::DirEntry> entries;
    ASSERT_TRUE(plat::ListDirectory(folder.c_str(), entries));
    EXPECT_EQ(3u, entries.size()) << "the replacement was left behind";

    EXPECT_TRUE(plat::SetFileReadOnly(file.c_str(), FALSE));
    EXPECT_TRUE(plat::ReplaceWholeFile(file.c_str(), "new"));
    EXPECT_EQ("new", Content(file));

    EXPECT_FALSE(plat::SetFileReadOnly((folder + "missing.txt").c_str(), TRUE));
    EXPECT_FALSE(plat::PathExists((folder + "missing.txt").c_str()));
    EXPECT_FALSE(plat::SetFileReadOnly("", TRUE));
    EXPECT_FALSE(plat::SetFileReadOnly(nullptr, FALSE));
    contract::RemoveTestFolder(folder);
}
