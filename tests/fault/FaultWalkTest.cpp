// Every write path of every client with each of its steps failing, and with the process stopping before each
// step: the stores stay whole and the result tells which whole they are.
#include "fault/FaultWalk.h"
#include "support/TestScopes.h"

#include "core/ClientCatalogue.h"
#include "PortableControl.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const char* const kClientNames[CLIENT_COUNT] = {"Outlook Express", "Outlook",  "IncrediMail",
                                                "Eudora",          "The Bat!", "Mozilla",
                                                "Opera",           "Opera 7",  "Netscape"};

struct Totals
{
    size_t operations = 0;
    size_t failedSteps = 0;
    size_t undeletable = 0;
    size_t crashes = 0;
    size_t crashLeftovers = 0;
    size_t crashPartial = 0;
};
Totals g_totals;

// The walk's numbers, once every client has been walked.
class CWalkReport : public ::testing::Environment
{
public:
    void TearDown() override
    {
        printf(
            "fault walk, all clients: %zu write operations, %zu steps failed (%zu temporary files kept by "
            "their failed deletion), %zu crashes simulated; crashes left %zu temporary files and %zu partly "
            "written registry accounts (real settings kept)\n",
            g_totals.operations, g_totals.failedSteps, g_totals.undeletable, g_totals.crashes,
            g_totals.crashLeftovers, g_totals.crashPartial);
    }
};
::testing::Environment* const g_report = ::testing::AddGlobalTestEnvironment(new CWalkReport);

class FaultWalk : public ::testing::TestWithParam<int>
{
protected:
    ~FaultWalk() override
    {
        plat::portable::ResetRegistry();
        plat::portable::SetTempFolder("");
        plat::portable::SetWindowsFolder("");
        plat::portable::SetAppDataFolder("");
    }
    CTestFolder m_folder;
};

TEST_P(FaultWalk, EveryStepOfEveryWriteKeepsTheStoresWhole)
{
    const int client = GetParam();
    CFaultWalk walk(client, m_folder / "user");
    const std::vector<int> accounts = walk.WritableAccounts();
    ASSERT_FALSE(accounts.empty()) << kClientNames[client] << ": its samples hold no account to write";
    Totals totals;
    for (int account : accounts) {
        for (CFaultWalk::Operation operation : {CFaultWalk::OP_CONFIGURE, CFaultWalk::OP_UNCONFIGURE}) {
            SCOPED_TRACE(std::string(kClientNames[client]) + ", " + CFaultWalk::OperationName(operation) +
                         " of account " + std::to_string(account));
            const CFaultWalk::Outcome outcome = walk.Walk(account, operation);
            for (const std::string& problem : outcome.problems)
                ADD_FAILURE() << problem;
            if (outcome.steps > 0)
                ++totals.operations;
            EXPECT_EQ(outcome.steps, outcome.failedSteps);
            EXPECT_EQ(outcome.steps, outcome.crashes);
            totals.failedSteps += outcome.failedSteps;
            totals.undeletable += outcome.undeletable;
            totals.crashes += outcome.crashes;
            totals.crashLeftovers += outcome.crashLeftovers;
            totals.crashPartial += outcome.crashPartial;
        }
    }
    // Every client has something to write: a walk that failed no step proved nothing.
    EXPECT_GT(totals.operations, 0u);
    EXPECT_GT(totals.failedSteps, 0u);
    printf(
        "%s: %zu write operations, %zu steps failed (%zu temporary files kept by their failed deletion), %zu "
        "crashes simulated, %zu temporary files left by crashes, %zu partly written registry accounts\n",
        kClientNames[client], totals.operations, totals.failedSteps, totals.undeletable, totals.crashes,
        totals.crashLeftovers, totals.crashPartial);
    g_totals.operations += totals.operations;
    g_totals.failedSteps += totals.failedSteps;
    g_totals.undeletable += totals.undeletable;
    g_totals.crashes += totals.crashes;
    g_totals.crashLeftovers += totals.crashLeftovers;
    g_totals.crashPartial += totals.crashPartial;
}

INSTANTIATE_TEST_SUITE_P(AllClients, FaultWalk, ::testing::Range(0, static_cast<int>(CLIENT_COUNT)),
                         [](const ::testing::TestParamInfo<int>& info) {
                             std::string name;
                             for (char c : std::string(kClientNames[info.param])) {
                                 if (isalnum(static_cast<unsigned char>(c)))
                                     name += c;
                             }
                             return name;
                         });

} // namespace
