// Every write path of every client with each of its steps failing, and with the process stopping before each
// step: the stores stay whole and the result tells which whole they are.
#include "fault/FaultWalk.h"
#include "support/TestScopes.h"

#include "core/ClientCatalogue.h"
#include "PortableControl.h"

#include "fixtures/SampleStores.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace {

const char* const kClientNames[CLIENT_COUNT] = {
    "Outlook Express",   "Outlook",     "IncrediMail", "Eudora",
    "The Bat!",          "Mozilla",     "Opera",       "Opera 7",
    "Netscape",          "Thunderbird", "SeaMonkey",   "Outlook 2007 and later",
    "Windows Live Mail", "Windows Mail"};

std::vector<int> SeededClients()
{
    std::vector<int> clients;
    for (int c = 0; c < CLIENT_COUNT; ++c) {
        if (SeederOf(c))
            clients.push_back(c);
    }
    return clients;
}

// The walk's numbers, per client and for all of them.
struct Totals
{
    size_t operations = 0;
    size_t failedSteps = 0;
    size_t refused = 0;
    size_t undeletable = 0;
    size_t crashes = 0;
    size_t crashLeftovers = 0;
    size_t crashPartial = 0;

    void Add(const CFaultWalk::Outcome& outcome)
    {
        operations += outcome.steps > 0 ? 1 : 0;
        failedSteps += outcome.failedSteps;
        refused += outcome.refused;
        undeletable += outcome.undeletable;
        crashes += outcome.crashes;
        crashLeftovers += outcome.crashLeftovers;
        crashPartial += outcome.crashPartial;
    }
    void Print(const char* who) const
    {
        printf(
            "%s: %zu write operations, %zu steps failed (%zu reported as failed, %zu temporary files kept by "
            "their failed deletion), %zu crashes simulated, %zu temporary files left by crashes, %zu partly "
            "written registry accounts (real settings kept)\n",
            who, operations, failedSteps, refused, undeletable, crashes, crashLeftovers, crashPartial);
    }
};
Totals g_totals;

class CWalkReport : public ::testing::Environment
{
public:
    void TearDown() override { g_totals.Print("fault walk, all clients"); }
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
            EXPECT_EQ(outcome.steps, outcome.failedSteps);
            EXPECT_EQ(outcome.steps, outcome.crashes);
            for (Totals* sum : {&totals, &g_totals})
                sum->Add(outcome);
        }
    }
    // Every client has something to write: a walk that failed no step proved nothing, and one whose failing
    // steps never made a write report failure shows that the faults did not reach the client.
    EXPECT_GT(totals.operations, 0u);
    EXPECT_GT(totals.failedSteps, 0u);
    EXPECT_GT(totals.refused, 0u);
    totals.Print(kClientNames[client]);
}

// A stopped run may leave a temporary file of its own beside a store; the next run that writes there removes
// it.
TEST_P(FaultWalk, ALaterRunRemovesWhatAStoppedOneLeft)
{
    const int client = GetParam();
    CFaultWalk walk(client, m_folder / "user");
    size_t leaving = 0;
    for (int account : walk.WritableAccounts()) {
        for (CFaultWalk::Operation operation : {CFaultWalk::OP_CONFIGURE, CFaultWalk::OP_UNCONFIGURE}) {
            std::vector<std::string> problems;
            leaving += walk.CrashThenRerun(account, operation, problems);
            for (const std::string& problem : problems)
                ADD_FAILURE() << kClientNames[client] << ": " << problem;
        }
    }
    // The file-based clients do leave some (else the test proved nothing); registry clients leave none.
    const BOOL fileStores = client == CLIENT_EUDORA || client == CLIENT_THE_BAT || client == CLIENT_MOZILLA ||
                            client == CLIENT_OPERA || client == CLIENT_OPERA7 || client == CLIENT_NETSCAPE ||
                            client == CLIENT_THUNDERBIRD || client == CLIENT_SEAMONKEY ||
                            client == CLIENT_WINDOWS_LIVE_MAIL || client == CLIENT_WINDOWS_MAIL;
    if (fileStores)
        EXPECT_GT(leaving, 0u);
    else
        EXPECT_EQ(0u, leaving);
    printf("%s: %zu stopped runs left a temporary file, and the next run removed it\n", kClientNames[client],
           leaving);
}

INSTANTIATE_TEST_SUITE_P(AllClients, FaultWalk, ::testing::ValuesIn(SeededClients()),
                         [](const ::testing::TestParamInfo<int>& info) {
                             std::string name;
                             for (char c : std::string(kClientNames[info.param])) {
                                 if (isalnum(static_cast<unsigned char>(c)))
                                     name += c;
                             }
                             return name;
                         });

} // namespace
