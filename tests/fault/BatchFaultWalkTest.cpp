// Batches of several accounts of one store file, with each step failing and the process stopping before
// each step: every file as before or as fully written, and each account's result says which.
#include "fault/BatchFaultWalk.h"
#include "support/TestScopes.h"

#include "core/ClientCatalogue.h"
#include "PortableControl.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

class BatchFaultWalk : public ::testing::TestWithParam<int>
{
protected:
    ~BatchFaultWalk() override
    {
        plat::portable::ResetRegistry();
        plat::portable::SetTempFolder("");
        plat::portable::SetWindowsFolder("");
        plat::portable::SetAppDataFolder("");
    }
    CTestFolder m_folder;
};

TEST_P(BatchFaultWalk, EachStepOfABatchLeavesEachFileWholeAndEachResultTrue)
{
    for (BOOL configure : {TRUE, FALSE}) {
        CBatchFaultWalk walk(GetParam(), m_folder / "user");
        const CBatchFaultWalk::Outcome outcome = walk.Walk(configure);
        for (const std::string& problem : outcome.problems)
            ADD_FAILURE() << problem;
        // A batch of one would prove nothing about staging several edits of one file.
        EXPECT_GE(outcome.accounts, 2u);
        EXPECT_GT(outcome.steps, 0u);
        EXPECT_EQ(outcome.steps, outcome.failedSteps);
        EXPECT_EQ(outcome.steps, outcome.crashes);
        printf(
            "client %d, %s batch of %zu accounts: %zu steps, each failed and stopped before; %zu runs wrote "
            "one file and not another\n",
            GetParam(), configure ? "configure" : "unconfigure", outcome.accounts, outcome.steps,
            outcome.partlyDone);
    }
}

// The clients whose accounts share a store file.
INSTANTIATE_TEST_SUITE_P(SharedFiles, BatchFaultWalk, ::testing::Values(CLIENT_MOZILLA, CLIENT_OPERA7),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == CLIENT_MOZILLA ? std::string("Mozilla")
                                                                 : std::string("Opera7");
                         });

} // namespace
