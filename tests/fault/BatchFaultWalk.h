// CBatchFaultWalk: one batch of every writable account of a client, run on fresh sample stores with each of
// its steps failing in turn and with the process stopping before each step.
#pragma once

#include "fault/StoreSnapshot.h"

#include <functional>
#include <string>
#include <vector>

class CBatchFaultWalk
{
public:
    struct Outcome
    {
        size_t accounts = 0;    // in the batch
        size_t steps = 0;       // calls that can fail, counted in the clean run
        size_t failedSteps = 0; // runs with one of them failing
        size_t partlyDone = 0;  // of those, runs in which some accounts were written and some not
        size_t crashes = 0;
        std::vector<std::string> problems;
    };

    // client: the catalogue index; root: an empty folder of the test's own (Windows form).
    CBatchFaultWalk(int client, const std::string& root);

    // configure: a batch configuring every supported account not configured and up to date; else one
    // giving back every account (all configured first, outside the walk).
    Outcome Walk(BOOL configure);

private:
    BOOL Prepare(BOOL configure);
    // The batch on a fresh load, arm called between the load and the batch; results per account of
    // m_accounts.
    BOOL RunBatch(BOOL configure, const std::function<void()>& arm, std::vector<BOOL>& results);
    // A fresh load must show each account as its result says: done, or as before the batch.
    void CheckAccounts(BOOL configure, const std::vector<BOOL>& results, const std::string& what,
                       Outcome& outcome);

    int m_client;
    std::string m_root;
    std::vector<int> m_accounts;
    std::vector<std::string> m_userNamesBefore;
    CStoreSnapshot m_before;
    CStoreSnapshot m_after;
};
