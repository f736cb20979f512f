// CBatchFaultWalk: a batch's stores after each failing step or stop are, file by file, as before or as fully
// written, and a fresh load shows every account as its own result said.
#include "fault/BatchFaultWalk.h"
#include "fault/FaultWalk.h"
#include "support/ClientChecks.h"

#include "clients/DefaultClients.h"
#include "FaultInjection.h"

#include <functional>
#include <memory>

CBatchFaultWalk::CBatchFaultWalk(int client, const std::string& root) : m_client(client), m_root(root) {}

BOOL CBatchFaultWalk::Prepare(BOOL configure)
{
    if (!SeedFreshStores(m_client, m_root))
        return FALSE;
    std::unique_ptr<CMailClient> client(CreateDefaultClient(m_client));
    if (!client->LoadClient())
        return FALSE;
    m_accounts.clear();
    m_userNamesBefore.clear();
    CAcceptQuestions repairDoubtful;
    for (int i = 0; i < client->AccountCount(); ++i) {
        AccountInfo record;
        if (!client->GetAccount(i, record) || !record.supported)
            continue;
        // Giving back starts from every account configured, written one by one outside the walk.
        if (!configure && !record.configured && !client->ConfigureAccount(i, &repairDoubtful))
            return FALSE;
        if (configure && record.configured && record.upToDate)
            continue;
        m_accounts.push_back(i);
    }
    if (configure)
        return TRUE;
    // The user names as the batch finds them.
    std::unique_ptr<CMailClient> fresh(CreateDefaultClient(m_client));
    if (!fresh->LoadClient())
        return FALSE;
    for (int index : m_accounts)
        m_userNamesBefore.push_back(RecordOf(*fresh, index).current.userName);
    return TRUE;
}

BOOL CBatchFaultWalk::RunBatch(BOOL configure, const std::function<void()>& arm, std::vector<BOOL>& results)
{
    std::unique_ptr<CMailClient> client(CreateDefaultClient(m_client));
    if (!client->LoadClient())
        return FALSE;
    // The steps are those of the batch, not of the load before it.
    arm();
    CAcceptQuestions repairDoubtful;
    results.assign(m_accounts.size(), FALSE);
    client->BeginBatch();
    for (size_t i = 0; i < m_accounts.size(); ++i)
        results[i] = configure ? client->ConfigureAccount(m_accounts[i], &repairDoubtful)
                               : client->UnconfigureAccount(m_accounts[i], &repairDoubtful);
    std::vector<int> failed;
    client->CommitBatch(failed);
    for (size_t i = 0; i < m_accounts.size(); ++i) {
        for (int index : failed)
            results[i] = results[i] && index != m_accounts[i];
    }
    return TRUE;
}

void CBatchFaultWalk::CheckAccounts(BOOL configure, const std::vector<BOOL>& results, const std::string& what,
                                    Outcome& outcome)
{
    std::unique_ptr<CMailClient> client(CreateDefaultClient(m_client));
    if (!client->LoadClient()) {
        outcome.problems.push_back(what + ": the client no longer loads");
        return;
    }
    for (size_t i = 0; i < m_accounts.size(); ++i) {
        const AccountInfo record = RecordOf(*client, m_accounts[i]);
        const BOOL done = configure ? record.configured && record.upToDate : !record.configured;
        if (results[i] && !done)
            outcome.problems.push_back(what + ": account " + std::to_string(m_accounts[i]) +
                                       " reported done, but it does not read as done");
        // Not done: its store is as it was, and so is the account.
        if (!results[i] && configure && record.configured && record.upToDate)
            outcome.problems.push_back(what + ": account " + std::to_string(m_accounts[i]) +
                                       " reported failed, but it reads as configured");
        if (!results[i] && !configure &&
            (!record.configured || record.current.userName != m_userNamesBefore[i]))
            outcome.problems.push_back(what + ": account " + std::to_string(m_accounts[i]) +
                                       " reported failed, but it changed");
    }
}

CBatchFaultWalk::Outcome CBatchFaultWalk::Walk(BOOL configure)
{
    Outcome outcome;
    const std::string name = configure ? "configure batch" : "unconfigure batch";
    if (!Prepare(configure)) {
        outcome.problems.push_back(name + ": the sample stores could not be set up");
        return outcome;
    }
    outcome.accounts = m_accounts.size();
    m_before = CStoreSnapshot::Take(m_root);
    std::vector<BOOL> results;
    const BOOL ran = RunBatch(
        configure, [] { plat::portable::StartFaultCount(); }, results);
    plat::portable::StopFaults();
    outcome.steps = plat::portable::FaultSteps().size();
    m_after = CStoreSnapshot::Take(m_root);
    for (size_t i = 0; i < results.size(); ++i) {
        if (!ran || !results[i])
            outcome.problems.push_back(name + ": account " + std::to_string(m_accounts[i]) +
                                       " fails without any fault");
    }

    for (size_t step = 1; step <= outcome.steps; ++step) {
        for (BOOL crash : {FALSE, TRUE}) {
            const std::string what = name + (crash ? ", process stopped before step " : ", step ") +
                                     std::to_string(step) + " failing";
            if (!Prepare(configure)) {
                outcome.problems.push_back(what + ": the sample stores could not be set up");
                continue;
            }
            CStoreSnapshot atCrash;
            RunBatch(
                configure,
                [&] {
                    if (crash)
                        plat::portable::CrashAtFaultStep(step,
                                                         [&]() { atCrash = CStoreSnapshot::Take(m_root); });
                    else
                        plat::portable::FailFaultStep(step);
                },
                results);
            const BOOL fired = plat::portable::FaultFired();
            const std::vector<plat::portable::FaultStep> steps = plat::portable::FaultSteps();
            plat::portable::StopFaults();
            if (!fired) {
                outcome.problems.push_back(what + ": the run took another way and never reached that step");
                continue;
            }
            const CStoreSnapshot left = crash ? atCrash : CStoreSnapshot::Take(m_root);
            // A stop may leave the program's temporary files, and so may a deletion that failed; nothing
            // else may differ from one whole or the other, file by file.
            std::vector<std::string> leftovers = left.NewFiles(m_before);
            std::vector<std::string> kept;
            for (const std::string& path : leftovers) {
                const size_t slash = path.find_last_of('/');
                if (plat::IsOwnTempFileName(slash == std::string::npos ? path : path.substr(slash + 1)))
                    kept.push_back(path);
            }
            std::string why;
            if (!left.EachAsEither(m_before, m_after, kept, why))
                outcome.problems.push_back(what + ": " + why);
            if (crash) {
                ++outcome.crashes;
                continue;
            }
            ++outcome.failedSteps;
            size_t done = 0;
            for (BOOL result : results)
                done += result ? 1 : 0;
            if (done != 0 && done != results.size())
                ++outcome.partlyDone;
            CheckAccounts(configure, results, what, outcome);
        }
    }
    return outcome;
}
