// The fault layer of the portable backend: which calls it counts, that the chosen one fails as the real call
// would, and that a simulated crash records the files as they lie and lets nothing more reach the disk.
#include "support/TestScopes.h"

#include "FaultInjection.h"
#include "Files.h"
#include "RegKey.h"
#include "Registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace plat::portable;

std::vector<FaultCall> Calls()
{
    std::vector<FaultCall> calls;
    for (const FaultStep& step : FaultSteps())
        calls.push_back(step.call);
    return calls;
}

std::string Bytes(const std::string& path)
{
    std::string bytes = "<unreadable>";
    plat::ReadWholeFile(path.c_str(), bytes);
    return bytes;
}

size_t EntryCount(const std::string& folder)
{
    std::vector<plat::DirEntry> entries;
    plat::ListDirectory(folder.c_str(), entries);
    return entries.size();
}

class FaultLayer : public ::testing::Test
{
protected:
    ~FaultLayer() override { StopFaults(); }
    CTestFolder m_folder;
};

TEST_F(FaultLayer, CountsTheStepsOfAReplacementInOrder)
{
    const std::string path = m_folder / "store.ini";
    ASSERT_TRUE(plat::ReplaceWholeFile(path.c_str(), "old"));
    StartFaultCount();
    ASSERT_TRUE(plat::ReplaceWholeFile(path.c_str(), "new"));
    StopFaults();
    // Over an existing file the new one also takes over its mode: a second write step.
    EXPECT_EQ((std::vector<FaultCall>{FAULT_CREATE_TEMP, FAULT_WRITE, FAULT_WRITE, FAULT_FLUSH, FAULT_CLOSE,
                                      FAULT_REPLACE}),
              Calls());
    EXPECT_FALSE(FaultFired());
    // Calls made with the layer off are not counted.
    ASSERT_TRUE(plat::ReplaceWholeFile(path.c_str(), "newer"));
    EXPECT_EQ(6u, FaultSteps().size());
}

TEST_F(FaultLayer, EachFailingStepOfAReplacementLeavesTheFileAsItWas)
{
    const std::string path = m_folder / "store.ini";
    for (size_t step = 1; step <= 6; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        ASSERT_TRUE(plat::ReplaceWholeFile(path.c_str(), "old"));
        FailFaultStep(step);
        EXPECT_FALSE(plat::ReplaceWholeFile(path.c_str(), "new"));
        EXPECT_TRUE(FaultFired());
        StopFaults();
        EXPECT_EQ("old", Bytes(path));
        // ".", ".." and the file: the new file went away with the failure.
        EXPECT_EQ(3u, EntryCount(m_folder.Path()));
    }
    // The clean-up after the failure is a step of its own, counted after the failed one.
    FailFaultStep(6);
    EXPECT_FALSE(plat::ReplaceWholeFile(path.c_str(), "new"));
    StopFaults();
    ASSERT_EQ(7u, FaultSteps().size());
    EXPECT_EQ(FAULT_DELETE, FaultSteps()[6].call);
}

TEST_F(FaultLayer, ReadsTemporaryFilesAndDeletionsFailAsTheSystemWould)
{
    const std::string path = m_folder / "store.ini";
    ASSERT_TRUE(plat::ReplaceWholeFile(path.c_str(), "content"));
    const struct
    {
        size_t step;
        FaultCall call;
    } reads[] = {{1, FAULT_OPEN}, {2, FAULT_READ}};
    for (const auto& read : reads) {
        std::string bytes = "sentinel";
        FailFaultStep(read.step);
        EXPECT_FALSE(plat::ReadWholeFile(path.c_str(), bytes));
        EXPECT_EQ(read.call, FaultSteps().back().call);
        EXPECT_EQ("sentinel", bytes);
    }
    std::string temp = "sentinel";
    FailFaultStep(1);
    EXPECT_FALSE(plat::CreateTempFileIn(m_folder.Path().c_str(), "CFG", temp));
    EXPECT_EQ("sentinel", temp);
    FailFaultStep(1);
    EXPECT_FALSE(plat::RemoveFile(path.c_str()));
    EXPECT_EQ(FAULT_DELETE, FaultSteps().back().call);
    StopFaults();
    EXPECT_EQ("content", Bytes(path));
    std::vector<plat::DirEntry> entries;
    FailFaultStep(1);
    EXPECT_FALSE(plat::ListDirectory(m_folder.Path().c_str(), entries));
    StopFaults();
}

TEST_F(FaultLayer, RegistryWritesAndDeletionsFailWithTheirValueUntouched)
{
    CRegistryScope scope({{HKEY_CURRENT_USER, "Software\\Nimbrel Fault Test"}});
    plat::CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, "Software\\Nimbrel Fault Test", KEY_ALL_ACCESS));
    ASSERT_EQ(ERROR_SUCCESS, key.SetString("Value", "old"));
    FailFaultStep(1);
    EXPECT_EQ(ERROR_ACCESS_DENIED, key.SetString("Value", "new"));
    FailFaultStep(1);
    EXPECT_EQ(ERROR_ACCESS_DENIED, plat::RegRemoveValue(key.Get(), "Value"));
    EXPECT_EQ(FAULT_REG_DELETE, FaultSteps().back().call);
    StopFaults();
    std::string text;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryString("Value", text, 260));
    EXPECT_EQ("old", text);
}

TEST_F(FaultLayer, CrashRecordsTheFilesAsTheyLieAndStopsEverythingAfter)
{
    const std::string path = m_folder / "store.ini";
    ASSERT_TRUE(plat::ReplaceWholeFile(path.c_str(), "old"));
    std::string recorded;
    size_t recorderCalls = 0;
    // Stopped before the move: the new bytes are written, the file still holds the old ones.
    CrashAtFaultStep(6, [&]() {
        ++recorderCalls;
        // The recorder's own calls are neither counted nor failed.
        EXPECT_TRUE(plat::ReadWholeFile(path.c_str(), recorded));
    });
    EXPECT_FALSE(plat::ReplaceWholeFile(path.c_str(), "new"));
    EXPECT_FALSE(plat::ReplaceWholeFile(path.c_str(), "newer"));
    EXPECT_TRUE(FaultFired());
    EXPECT_EQ(6u, FaultSteps().size());
    StopFaults();
    EXPECT_EQ(1u, recorderCalls);
    EXPECT_EQ("old", recorded);
    EXPECT_EQ("old", Bytes(path));
    // The stopped process's new file is still there, as after a real crash.
    EXPECT_EQ(4u, EntryCount(m_folder.Path()));
}

} // namespace
