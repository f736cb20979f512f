// The portable profile functions keep the files they read: a file changed in any way (replaced, rewritten in
// place at once, or later) is read again; within a read batch, until the program itself writes a file.
#include "contract/ContractFolder.h"

#include "Files.h"
#include "Profile.h"
#include "ReadBatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Value(const std::string& path, const char* key)
{
    char buffer[64];
    memset(buffer, 0xBD, sizeof(buffer));
    DWORD length = plat::ProfileGetString("s", key, "none", buffer, sizeof(buffer), path.c_str());
    return std::string(buffer, length);
}

std::string Native(std::string path)
{
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// Sets the file's times an hour back, as for a file the client wrote long ago.
void Age(const std::string& path)
{
    struct timespec times[2];
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec -= 3600;
    times[1] = times[0];
    ASSERT_EQ(0, utimensat(AT_FDCWD, Native(path).c_str(), times, 0));
}

// Rewrites the file in place, same size, without a new file: only its times can tell.
void RewriteInPlace(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(Native(path).c_str(), "r+b");
    ASSERT_NE(nullptr, file);
    ASSERT_EQ(bytes.size(), fwrite(bytes.data(), 1, bytes.size(), file));
    ASSERT_EQ(0, fclose(file));
}

using ProfileCache = contract::CFolderTest;

TEST_F(ProfileCache, EveryChangeIsSeen)
{
    const std::string path = m_folder + "store.ini";
    ASSERT_TRUE(contract::WriteTestFile(path, "[s]\r\nk=one\r\n"));
    EXPECT_EQ("one", Value(path, "k"));
    // In place, same size, at once: the times may not have moved, so a young file is read again.
    RewriteInPlace(path, "[s]\r\nk=two\r\n");
    EXPECT_EQ("two", Value(path, "k"));
    // An old file rewritten in place: its change time moves, whatever its write time says.
    Age(path);
    EXPECT_EQ("two", Value(path, "k"));
    RewriteInPlace(path, "[s]\r\nk=six\r\n");
    Age(path);
    EXPECT_EQ("six", Value(path, "k"));
    // Replaced by another file.
    ASSERT_TRUE(plat::ReplaceWholeFile(path.c_str(), "[s]\r\nk=seven\r\n"));
    Age(path);
    EXPECT_EQ("seven", Value(path, "k"));
    // Gone: the default.
    ASSERT_EQ(0, remove(Native(path).c_str()));
    EXPECT_EQ("none", Value(path, "k"));
}

// A load sees each file as it first read it, however often the client rewrites it meanwhile; its own writes,
// and those of the program's other file calls, it reads back at once.
TEST_F(ProfileCache, ABatchReadsEachFileOnceUntilTheProgramWrites)
{
    const std::string path = m_folder + "store.ini";
    const std::string other = m_folder + "other.ini";
    ASSERT_TRUE(contract::WriteTestFile(path, "[s]\r\nk=one\r\n"));
    ASSERT_TRUE(contract::WriteTestFile(other, "[s]\r\nk=x\r\n"));
    {
        plat::CReadBatch batch;
        EXPECT_EQ("one", Value(path, "k"));
        RewriteInPlace(path, "[s]\r\nk=two\r\n");
        EXPECT_EQ("one", Value(path, "k"));
        {
            plat::CReadBatch nested;
            EXPECT_EQ("one", Value(path, "k"));
        }
        EXPECT_EQ("one", Value(path, "k")) << "the outer batch ended with the inner one";
        // A write to any file ends the batch's trust in every file it read.
        ASSERT_TRUE(plat::ReplaceWholeFile(other.c_str(), "[s]\r\nk=y\r\n"));
        EXPECT_EQ("two", Value(path, "k"));
        ASSERT_TRUE(plat::ProfileWriteString("s", "k", "three", path.c_str()));
        EXPECT_EQ("three", Value(path, "k"));
        ASSERT_TRUE(plat::RemoveFile(path.c_str()));
        EXPECT_EQ("none", Value(path, "k"));
        EXPECT_EQ("y", Value(other, "k"));
        RewriteInPlace(other, "[s]\r\nk=z\r\n");
        EXPECT_EQ("y", Value(other, "k"));
    }
    EXPECT_EQ("z", Value(other, "k"));
}

// A load of many accounts' files reads each from disk once, however many files it reads; after the load,
// every change is seen again.
TEST_F(ProfileCache, ABatchKeepsEveryFileItReads)
{
    const int kFiles = 25; // more than the ten kept outside a batch
    auto pathOf = [&](int i) { return m_folder + "account" + std::to_string(i) + ".ini"; };
    for (int i = 0; i < kFiles; ++i)
        ASSERT_TRUE(contract::WriteTestFile(pathOf(i), "[s]\r\nk=one\r\n"));
    {
        plat::CReadBatch batch;
        for (int i = 0; i < kFiles; ++i)
            ASSERT_EQ("one", Value(pathOf(i), "k")) << i;
        for (int i = 0; i < kFiles; ++i)
            RewriteInPlace(pathOf(i), "[s]\r\nk=two\r\n");
        for (int i = 0; i < kFiles; ++i)
            EXPECT_EQ("one", Value(pathOf(i), "k")) << i;
    }
    for (int i = 0; i < kFiles; ++i)
        EXPECT_EQ("two", Value(pathOf(i), "k")) << i;
}

// A load looks for each path once; what the program writes, it sees at once.
TEST_F(ProfileCache, ABatchLooksForEachPathOnce)
{
    const std::string file = m_folder + "client.exe";
    {
        plat::CReadBatch batch;
        EXPECT_FALSE(plat::PathExists(file.c_str()));
        ASSERT_TRUE(contract::WriteTestFile(file, "MZ")); // behind the program's back
        EXPECT_FALSE(plat::PathExists(file.c_str())) << "the batch looked once";
        ASSERT_TRUE(plat::CreateFolder((m_folder + "made").c_str()));
        EXPECT_TRUE(plat::PathExists(file.c_str())) << "a write by the program ends what the batch knew";
        ASSERT_EQ(0, unlink(Native(file).c_str()));
        EXPECT_TRUE(plat::PathExists(file.c_str()));
    }
    EXPECT_FALSE(plat::PathExists(file.c_str()));
    // Outside a batch every call looks.
    ASSERT_TRUE(contract::WriteTestFile(file, "MZ"));
    EXPECT_TRUE(plat::PathExists(file.c_str()));
}

} // namespace
