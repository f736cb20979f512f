// CFaultWalk: fresh sample stores for each run, the operation with its steps failed or cut short, and the
// stores checked against the whole before and the whole after.
#include "fault/FaultWalk.h"
#include "support/ClientChecks.h"

#include "clients/DefaultClients.h"
#include "core/ClientCatalogue.h"
#include "FaultInjection.h"
#include "Files.h"
#include "fixtures/SampleStores.h"
#include "fixtures/SampleWriter.h"
#include "PortableControl.h"
#include "settings/ProductSettings.h"

#include <chrono>
#include <filesystem>
#include <memory>

namespace {

using plat::portable::FaultStep;

std::string Settings(const PopSettings& s)
{
    return "[" + s.userName + "] [" + s.server + "] " + std::to_string(s.port) + " auth " +
           std::to_string(s.authMode);
}

} // namespace

CFaultWalk::CFaultWalk(int client, const std::string& root) : m_client(client), m_root(root) {}

const char* CFaultWalk::OperationName(Operation operation)
{
    return operation == OP_CONFIGURE ? "configure" : "unconfigure";
}

BOOL SeedFreshStores(int client, const std::string& root)
{
    plat::portable::StopFaults();
    plat::RemoveFolderTree(root.c_str());
    plat::CreateFolder(root.c_str());
    plat::CreateFolder((root + "\\Temp").c_str());
    plat::CreateFolder((root + "\\Windows").c_str());
    plat::portable::SetTempFolder(root + "\\Temp");
    plat::portable::SetWindowsFolder(root + "\\Windows");
    plat::portable::SetAppDataFolder(root + "\\AppData");
    plat::portable::ResetRegistry();
    SampleContext context;
    context.root = root + "\\Programs";
    context.appData = root + "\\AppData";
    context.proxyPort = 110;
    if (!SampleRegDword(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, NIMBREL_PROXY_PORT_VALUE, 110) ||
        !SeederOf(client)(context))
        return FALSE;
    g_productSettings.GetProxyPort();
    return TRUE;
}

BOOL CFaultWalk::Prepare(int account, Operation operation)
{
    if (!SeedFreshStores(m_client, m_root))
        return FALSE;
    if (operation != OP_UNCONFIGURE || account < 0)
        return TRUE;
    std::unique_ptr<CMailClient> client(CreateDefaultClient(m_client));
    AccountInfo record;
    if (!client->LoadClient() || !client->GetAccount(account, record))
        return FALSE;
    CAcceptQuestions repairDoubtful;
    return record.configured || client->ConfigureAccount(account, &repairDoubtful);
}

std::vector<int> CFaultWalk::WritableAccounts()
{
    std::vector<int> accounts;
    if (!Prepare(-1, OP_CONFIGURE))
        return accounts;
    std::unique_ptr<CMailClient> client(CreateDefaultClient(m_client));
    if (!client->LoadClient())
        return accounts;
    for (int i = 0; i < client->AccountCount(); ++i) {
        AccountInfo record;
        if (client->GetAccount(i, record) && record.supported)
            accounts.push_back(i);
    }
    return accounts;
}

BOOL CFaultWalk::RealSettingsKept(int account, const PopSettings& real, std::string& why)
{
    std::unique_ptr<CMailClient> client(CreateDefaultClient(m_client));
    AccountInfo record;
    if (!client->LoadClient() || !client->GetAccount(account, record) || !record.supported) {
        why = "the account is no longer readable";
        return FALSE;
    }
    const PopSettings& carried = record.configured ? record.original : record.current;
    // A client without an authentication setting cannot hold a tag once the account is plain again.
    BOOL sameAuth = !record.configured || carried.authMode == real.authMode;
    if (carried.userName == real.userName && carried.server == real.server && carried.port == real.port &&
        sameAuth)
        return TRUE;
    why = "real settings " + Settings(real) + ", the store now gives " + Settings(carried);
    return FALSE;
}

void CFaultWalk::Check(const CStoreSnapshot& left, BOOL result, BOOL crashed, size_t step, Outcome& outcome,
                       const std::string& what)
{
    const std::vector<FaultStep> steps = plat::portable::FaultSteps();
    const FaultStep failed = step <= steps.size() ? steps[step - 1] : FaultStep();
    if (crashed) {
        // A crash may leave new temporary files; any other difference must be none at all.
        for (const CStoreSnapshot* reference : {&m_before, &m_after}) {
            const std::vector<std::string> added = left.NewFiles(*reference);
            if (left.EqualsExcept(*reference, added)) {
                outcome.crashLeftovers += added.size();
                return;
            }
        }
        // Values of one registry account are set one by one: no call makes them one step. Their order keeps
        // the real settings readable at every point, which the caller checks.
        for (const CStoreSnapshot* reference : {&m_before, &m_after}) {
            if (left.FilesOnly() == reference->FilesOnly()) {
                ++outcome.crashPartial;
                return;
            }
        }
        outcome.problems.push_back(what + ": the stores are neither as before nor as fully written:\n" +
                                   left.Describe(m_before));
        return;
    }
    const CStoreSnapshot& reference = result ? m_after : m_before;
    if (left == reference)
        return;
    // Only a temporary file whose own deletion was the failed step may stay behind.
    const std::vector<std::string> added = left.NewFiles(reference);
    if (failed.call == plat::portable::FAULT_DELETE && added.size() == 1 &&
        added[0] == CStoreSnapshot::NativePath(failed.target) && left.EqualsExcept(reference, added)) {
        ++outcome.undeletable;
        return;
    }
    outcome.problems.push_back(what +
                               (result ? ": reported done, but the stores are not as fully written:\n"
                                       : ": reported failed, but the stores changed:\n") +
                               left.Describe(reference));
}

CFaultWalk::Outcome CFaultWalk::Walk(int account, Operation operation)
{
    Outcome outcome;
    const std::string name = std::string(OperationName(operation)) + " of account " + std::to_string(account);
    CAcceptQuestions repairDoubtful;

    // The clean run: its steps, its result, the stores before and after it.
    AccountInfo loaded;
    if (!Prepare(account, operation)) {
        outcome.problems.push_back(name + ": the sample stores could not be set up");
        return outcome;
    }
    m_before = CStoreSnapshot::Take(m_root);
    std::unique_ptr<CMailClient> client(CreateDefaultClient(m_client));
    if (!client->LoadClient() || !client->GetAccount(account, loaded)) {
        outcome.problems.push_back(name + ": the account does not load");
        return outcome;
    }
    const PopSettings real = loaded.original;
    plat::portable::StartFaultCount();
    const BOOL cleanResult = operation == OP_CONFIGURE ? client->ConfigureAccount(account, &repairDoubtful)
                                                       : client->UnconfigureAccount(account, &repairDoubtful);
    plat::portable::StopFaults();
    outcome.steps = plat::portable::FaultSteps().size();
    m_after = CStoreSnapshot::Take(m_root);
    client.reset();
    if (!cleanResult) {
        if (m_after != m_before)
            outcome.problems.push_back(name + ": refused, but the stores changed:\n" +
                                       m_after.Describe(m_before));
        return outcome;
    }

    for (size_t step = 1; step <= outcome.steps; ++step) {
        for (BOOL crash : {FALSE, TRUE}) {
            const std::string what = name + (crash ? ", process stopped before step " : ", step ") +
                                     std::to_string(step) + " failing";
            if (!Prepare(account, operation)) {
                outcome.problems.push_back(what + ": the sample stores could not be set up");
                continue;
            }
            client.reset(CreateDefaultClient(m_client));
            if (!client->LoadClient()) {
                outcome.problems.push_back(what + ": the client does not load");
                continue;
            }
            CStoreSnapshot atCrash;
            if (crash)
                plat::portable::CrashAtFaultStep(step, [&]() { atCrash = CStoreSnapshot::Take(m_root); });
            else
                plat::portable::FailFaultStep(step);
            const BOOL result = operation == OP_CONFIGURE
                                    ? client->ConfigureAccount(account, &repairDoubtful)
                                    : client->UnconfigureAccount(account, &repairDoubtful);
            const BOOL fired = plat::portable::FaultFired();
            plat::portable::StopFaults();
            client.reset();
            if (!fired) {
                outcome.problems.push_back(what + ": the run took another way and never reached that step");
                continue;
            }
            const CStoreSnapshot left = crash ? atCrash : CStoreSnapshot::Take(m_root);
            Check(left, result, crash, step, outcome, what);
            // Whatever lies there now, the account's real settings must still be readable from it.
            std::string why;
            if (!RealSettingsKept(account, real, why))
                outcome.problems.push_back(what + ": " + why);
            ++(crash ? outcome.crashes : outcome.failedSteps);
            if (!crash && !result)
                ++outcome.refused;
        }
    }
    return outcome;
}

std::vector<std::string> CFaultWalk::OwnTempFiles() const
{
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& item :
         std::filesystem::recursive_directory_iterator(CStoreSnapshot::NativePath(m_root), error)) {
        if (item.is_regular_file() && plat::IsOwnTempFileName(item.path().filename().string()))
            found.push_back(item.path().string());
    }
    return found;
}

size_t CFaultWalk::CrashThenRerun(int account, Operation operation, std::vector<std::string>& problems)
{
    const std::string name = std::string(OperationName(operation)) + " of account " + std::to_string(account);
    CAcceptQuestions repairDoubtful;
    if (!Prepare(account, operation)) {
        problems.push_back(name + ": the sample stores could not be set up");
        return 0;
    }
    std::unique_ptr<CMailClient> client(CreateDefaultClient(m_client));
    if (!client->LoadClient()) {
        problems.push_back(name + ": the client does not load");
        return 0;
    }
    plat::portable::StartFaultCount();
    operation == OP_CONFIGURE ? client->ConfigureAccount(account, &repairDoubtful)
                              : client->UnconfigureAccount(account, &repairDoubtful);
    plat::portable::StopFaults();
    const size_t steps = plat::portable::FaultSteps().size();

    size_t leaving = 0;
    for (size_t step = 1; step <= steps; ++step) {
        const std::string what = name + ", process stopped before step " + std::to_string(step);
        if (!Prepare(account, operation)) {
            problems.push_back(what + ": the sample stores could not be set up");
            continue;
        }
        client.reset(CreateDefaultClient(m_client));
        if (!client->LoadClient()) {
            problems.push_back(what + ": the client does not load");
            continue;
        }
        plat::portable::CrashAtFaultStep(step, nullptr);
        operation == OP_CONFIGURE ? client->ConfigureAccount(account, &repairDoubtful)
                                  : client->UnconfigureAccount(account, &repairDoubtful);
        plat::portable::StopFaults();
        client.reset();
        const std::vector<std::string> left = OwnTempFiles();
        if (left.empty())
            continue;
        ++leaving;
        // A younger one may belong to a run still writing; the stopped run's are made old enough to go.
        for (const std::string& path : left) {
            std::error_code error;
            std::filesystem::last_write_time(
                path, std::filesystem::last_write_time(path, error) - std::chrono::minutes(2), error);
        }
        // The later run writes the account whichever way it now stands.
        client.reset(CreateDefaultClient(m_client));
        AccountInfo now;
        if (!client->LoadClient() || !client->GetAccount(account, now)) {
            problems.push_back(what + ": the account does not load afterwards");
            continue;
        }
        const BOOL done = now.configured && now.upToDate
                              ? client->UnconfigureAccount(account, &repairDoubtful)
                              : client->ConfigureAccount(account, &repairDoubtful);
        client.reset();
        if (!done) {
            problems.push_back(what + ": the later run failed");
            continue;
        }
        for (const std::string& path : OwnTempFiles())
            problems.push_back(what + ": the later run left " + path);
    }
    return leaving;
}
