// CFaultWalk: one write operation of one client, run again and again on fresh sample stores: once to count
// its steps, then with each step failing in turn, then with the process stopping before each step.
#pragma once

#include "fault/StoreSnapshot.h"

#include "core/AccountInfo.h"

#include <string>
#include <vector>

// The client's sample stores alone below root (a folder in Windows form), made anew, with the proxy on 110.
BOOL SeedFreshStores(int client, const std::string& root);

class CFaultWalk
{
public:
    enum Operation
    {
        OP_CONFIGURE,
        OP_UNCONFIGURE
    };

    // What walking one operation showed. problems is empty when every step kept the store whole.
    struct Outcome
    {
        size_t steps = 0;          // calls that can fail, counted in the clean run
        size_t failedSteps = 0;    // runs with one of them failing
        size_t refused = 0;        // of those, runs that reported the operation failed
        size_t undeletable = 0;    // temporary files left because deleting them was the failing step
        size_t crashes = 0;        // runs stopped before one of them
        size_t crashLeftovers = 0; // temporary files a crash left beside the stores
        size_t crashPartial = 0;   // crashes between the values of one registry account (real settings kept)
        std::vector<std::string> problems;
    };

    // client: the catalogue index; root: an empty folder of the test's own (Windows form).
    CFaultWalk(int client, const std::string& root);

    // The accounts of the client's sample stores that the program may write (supported ones).
    std::vector<int> WritableAccounts();
    // Walks one operation of one account; account must be writable.
    Outcome Walk(int account, Operation operation);

    // Stops the process before each step of the operation, makes what the stopped run left older than a
    // minute, and lets a later run write the account again: after it, no temporary file of the program's may
    // remain below root. Gives the number of stopped runs that had left one; problems get those whose
    // leftovers the later run did not take away.
    size_t CrashThenRerun(int account, Operation operation, std::vector<std::string>& problems);

    static const char* OperationName(Operation operation);

private:
    // Fresh sample stores, with account already configured when the walk is of its unconfiguring. FALSE when
    // that could not be set up.
    BOOL Prepare(int account, Operation operation);
    // Checks a store left by a failed step or a crash against the stores before and after.
    void Check(const CStoreSnapshot& left, BOOL result, BOOL crashed, size_t step, Outcome& outcome,
               const std::string& what);
    // Reloads the client from the stores as they lie now: the account's real settings must still be there.
    BOOL RealSettingsKept(int account, const PopSettings& real, std::string& why);

    // The program's own temporary files below root (native paths).
    std::vector<std::string> OwnTempFiles() const;

    int m_client;
    std::string m_root;
    CStoreSnapshot m_before;
    CStoreSnapshot m_after;
};
