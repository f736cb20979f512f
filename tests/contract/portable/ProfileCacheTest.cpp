// The portable profile functions keep the files they read: many lookups in one file read it once, and a
// file changed in any way (replaced, rewritten in place at once, or later) is read again.
#include "contract/ContractFolder.h"

#include "FaultInjection.h"
#include "Profile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace plat::portable;

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

class ProfileCache : public contract::CFolderTest
{
protected:
    void TearDown() override
    {
        StopFaults();
        contract::CFolderTest::TearDown();
    }
};

TEST_F(ProfileCache, ManyLookupsInAnOldFileReadItOnce)
{
    const std::string path = m_folder + "big.ini";
    std::string text = "[s]\r\n";
    for (int i = 0; i < 1000; ++i)
        text += "k" + std::to_string(i) + "=v" + std::to_string(i) + "\r\n";
    ASSERT_TRUE(contract::WriteTestFile(path, text));
    // A file younger than the file system's time grain is read again at every lookup; let it age.
    usleep(1100 * 1000);
    StartFaultCount();
    for (int i = 0; i < 1000; i += 7)
        ASSERT_EQ("v" + std::to_string(i), Value(path, ("k" + std::to_string(i)).c_str()));
    StopFaults();
    size_t reads = 0;
    for (const FaultStep& step : FaultSteps())
        reads += step.call == FAULT_READ ? 1 : 0;
    EXPECT_LE(reads, 1u);
}

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
    // Replaced by another file, and written through the profile functions.
    ASSERT_TRUE(contract::WriteTestFile(path, "[s]\r\nk=seven\r\n"));
    Age(path);
    EXPECT_EQ("seven", Value(path, "k"));
    ASSERT_TRUE(plat::ProfileWriteString("s", "k", "ten", path.c_str()));
    EXPECT_EQ("ten", Value(path, "k"));
    // Gone: the default.
    ASSERT_EQ(0, remove(Native(path).c_str()));
    EXPECT_EQ("none", Value(path, "k"));
}

} // namespace
