// The benchmark: generated users of growing size, each loaded, refreshed, configured and unconfigured whole,
// beside the floor of the same work measured in the same run. Reports; never fails on timing.
#include "BenchFloor.h"
#include "BenchTable.h"
#include "BenchUser.h"

#include "app/tool/AccountsCommand.h"
#include "clients/DefaultClients.h"
#include "core/ClientCatalogue.h"
#include "Registry.h"
#include "RegKey.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

double Seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The fastest of a few runs of each, taken in turns so that both see the same machine: the least a run costs.
void Fastest(const std::function<void()>& work, const std::function<void()>& floorWork, int runs,
             double& best, double& bestFloor)
{
    best = bestFloor = 1e30;
    for (int i = 0; i < runs; ++i) {
        bestFloor = std::min(bestFloor, Seconds(floorWork));
        best = std::min(best, Seconds(work));
    }
}

int RunTool(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    return CAccountsCommand(out, err).Run(args);
}

// A user's stores were not written a moment ago: files younger than the file system's time grain are read
// again on every profile lookup, to be sure they did not change unseen. Measure stores as users have them.
void LetFilesAge()
{
    usleep(1100 * 1000);
}

// Loads are cheap and a shared machine's hiccups are not: the fastest of many is the least a load costs.
const int kLoadRuns = 25;

class CScenario
{
public:
    CScenario(const std::string& series, const std::string& name, const CBenchUser& user)
        : m_series(series), m_name(name), m_user(user)
    {
    }

    // The least any load must do: walk the trees the clients search, read each store once, read each
    // registry value once.
    void LoadFloor() const
    {
        for (const std::string& tree : m_user.WalkedTrees())
            CBenchFloor::WalkTree(tree);
        CBenchFloor::ReadFiles(m_user.StoreFiles());
        CBenchFloor::WalkRegistry(m_user.StoreKeys());
    }

    // The least writing every account costs: one durable copy of each store file that holds any of them
    // (a batch writes a file once, however many of its accounts change), four values per registry account,
    // and the two loads (before and after) that the tool makes.
    double WriteFloor(double loadFloor) const
    {
        double seconds = 2 * loadFloor;
        for (const auto& written : m_user.WrittenFiles())
            seconds += Seconds([&]() { CBenchFloor::CopyFile(written.first, true); });
        plat::CRegKey key;
        key.Create(HKEY_CURRENT_USER, "Software\\Nimbrel Bench Floor", KEY_ALL_ACCESS);
        seconds += m_user.RegistryAccounts() * Seconds([&]() {
                       const char value[] = "user/pop.mail.example/110";
                       const DWORD port = 110;
                       plat::RegWrite(key.Get(), "POP3 User Name", REG_SZ, value, sizeof(value));
                       plat::RegWrite(key.Get(), "POP3 Server", REG_SZ, "localhost", 10);
                       plat::RegWrite(key.Get(), "POP3 Port", REG_DWORD, &port, sizeof(port));
                       plat::RegWrite(key.Get(), "POP3 Use Sicily", REG_DWORD, &port, sizeof(port));
                   });
        key.Close();
        plat::RegRemoveTree(HKEY_CURRENT_USER, "Software\\Nimbrel Bench Floor");
        return seconds;
    }

    void Measure(CBenchTable& table) const
    {
        LetFilesAge();
        double load = 0, floor = 0;
        int accounts = 0;
        Fastest(
            [&]() {
                CClientCatalogue catalogue(&CreateDefaultClient);
                catalogue.LoadCatalogue();
                accounts = catalogue.TotalAccounts();
            },
            [&]() { LoadFloor(); }, kLoadRuns, load, floor);
        table.Add(m_series, m_name + " (" + std::to_string(accounts) + " accounts)", "load", load, floor);

        // One account configured (the first of the first client with accounts), then the whole refresh.
        double refresh = 1e30, configureOne = 1e30;
        for (int run = 0; run < kLoadRuns; ++run) {
            CClientCatalogue catalogue(&CreateDefaultClient);
            catalogue.LoadCatalogue();
            int client = 0;
            while (client < CLIENT_COUNT && !catalogue.LoadedClient(client))
                ++client;
            if (client == CLIENT_COUNT)
                break;
            configureOne = std::min(configureOne,
                                    Seconds([&]() { catalogue.LoadedClient(client)->ConfigureAccount(0); }));
            refresh = std::min(refresh, Seconds([&]() { catalogue.Refresh(); }));
            catalogue.LoadedClient(client)->UnconfigureAccount(0);
        }
        table.Add(m_series, m_name, "refresh after configuring one", refresh, floor);

        int configured = 0, unconfigured = 0;
        const double writeFloor = WriteFloor(floor);
        const double configureAll = Seconds([&]() { configured = RunTool({"configure", "--all", "--yes"}); });
        const double unconfigureAll = Seconds([&]() { unconfigured = RunTool({"unconfigure", "--all"}); });
        if (configured != TOOL_EXIT_DONE || unconfigured != TOOL_EXIT_DONE)
            printf("note: %s: configure --all gave %d, unconfigure --all %d\n", m_name.c_str(), configured,
                   unconfigured);
        table.Add(m_series, m_name, "configure all", configureAll, writeFloor);
        table.Add(m_series, m_name, "unconfigure all", unconfigureAll, writeFloor);
    }

private:
    std::string m_series;
    std::string m_name;
    const CBenchUser& m_user;
};

std::string ScratchRoot(const char* name)
{
    const char* tmp = getenv("TMPDIR");
    std::string root =
        std::string(tmp && *tmp ? tmp : "/tmp") + "/nimbrel-bench-" + std::to_string(getpid()) + "-" + name;
    for (char& c : root) {
        if (c == '/')
            c = '\\';
    }
    return root;
}

// One rewrite of a big preference file against a plain copy of it, and a copy made as durable as the rewrite.
// The first rewrite after a load is shown apart: it is the one that finds no memory left from an earlier one.
void MeasurePrefsRewrite(const CBenchUser& user, CBenchTable& table, int runs)
{
    double first = 1e30, rewrite = 1e30, copy = 1e30, durable = 1e30;
    for (int run = 0; run < runs; ++run) {
        CClientCatalogue catalogue(&CreateDefaultClient);
        catalogue.LoadCatalogue();
        CMailClient* mozilla = catalogue.LoadedClient(CLIENT_MOZILLA);
        if (!mozilla)
            return;
        first = std::min(first, Seconds([&]() { mozilla->ConfigureAccount(0); }));
        rewrite = std::min(rewrite, Seconds([&]() { mozilla->UnconfigureAccount(0); }));
        rewrite = std::min(rewrite, Seconds([&]() { mozilla->ConfigureAccount(1); }));
        mozilla->UnconfigureAccount(1);
    }
    for (int run = 0; run < 2 * runs; ++run) {
        copy = std::min(copy, Seconds([&]() { CBenchFloor::CopyFile(user.PrefsFile(), false); }));
        durable = std::min(durable, Seconds([&]() { CBenchFloor::CopyFile(user.PrefsFile(), true); }));
    }
    const std::string name = "prefs.js 5.9 MB, 500 accounts";
    table.Add("prefs", name, "one rewrite vs plain copy", rewrite, copy);
    table.Add("prefs", name, "one rewrite vs copy flushed to disk", rewrite, durable);
    table.Add("prefs", name, "first rewrite after a load vs copy flushed to disk", first, durable);
}

// For profilers: one user of size accounts per client, loaded again and again.
int LoadOnly(int size, int loads, int onlyClient)
{
    CBenchUser::Shape shape;
    shape.accountsPerClient = size;
    CBenchUser user(ScratchRoot("load"), shape);
    LetFilesAge();
    int accounts = 0;
    double fastest = 1e30;
    const double seconds = Seconds([&]() {
        for (int i = 0; i < loads; ++i) {
            fastest = std::min(fastest, Seconds([&]() {
                                   CClientCatalogue catalogue(&CreateDefaultClient);
                                   catalogue.LoadCatalogue();
                                   accounts = catalogue.TotalAccounts();
                               }));
        }
    });
    printf("%d loads of %d accounts: %.3f ms each, the fastest %.3f ms\n", loads, accounts,
           seconds * 1000 / loads, fastest * 1000);
    // The floor by its parts, the fastest of as many runs.
    double walk = 1e30, read = 1e30, registry = 1e30;
    for (int i = 0; i < loads; ++i) {
        walk = std::min(walk, Seconds([&]() {
                            for (const std::string& tree : user.WalkedTrees())
                                CBenchFloor::WalkTree(tree);
                        }));
        read = std::min(read, Seconds([&]() { CBenchFloor::ReadFiles(user.StoreFiles()); }));
        registry = std::min(registry, Seconds([&]() { CBenchFloor::WalkRegistry(user.StoreKeys()); }));
    }
    printf("floor: walks %.3f ms, %zu files read %.3f ms, registry %.3f ms\n", walk * 1000,
           user.StoreFiles().size(), read * 1000, registry * 1000);
    // Each client alone, the fastest of the same number of loads.
    for (int client = 0; client < CLIENT_COUNT; ++client) {
        if (onlyClient >= 0 && client != onlyClient)
            continue;
        double best = 1e30;
        for (int i = 0; i < loads; ++i) {
            best = std::min(best, Seconds([&]() {
                                std::unique_ptr<CMailClient> adapter(CreateDefaultClient(client));
                                adapter->LoadClient();
                            }));
        }
        printf("  client %d: %.3f ms\n", client, best * 1000);
    }
    return 0;
}

// For profilers: the big preference file alone, loaded and rewritten again and again.
int PrefsOnly(int runs)
{
    CBenchUser::Shape shape;
    shape.accountsPerClient = 500;
    shape.prefsBytes = 5 * 1024 * 1024;
    shape.mozillaOnly = true;
    CBenchUser user(ScratchRoot("prefs"), shape);
    LetFilesAge();
    double load = 1e30, rewrite = 1e30, copy = 1e30, durable = 1e30, refresh = 1e30;
    for (int run = 0; run < runs; ++run) {
        std::unique_ptr<CMailClient> mozilla(CreateDefaultClient(CLIENT_MOZILLA));
        load = std::min(load, Seconds([&]() { mozilla->LoadClient(); }));
        rewrite = std::min(rewrite, Seconds([&]() { mozilla->ConfigureAccount(0); }));
        mozilla->UnconfigureAccount(0);
        copy = std::min(copy, Seconds([&]() { CBenchFloor::CopyFile(user.PrefsFile(), false); }));
        durable = std::min(durable, Seconds([&]() { CBenchFloor::CopyFile(user.PrefsFile(), true); }));
    }
    for (int run = 0; run < runs; ++run) {
        CClientCatalogue catalogue(&CreateDefaultClient);
        catalogue.LoadCatalogue();
        if (CMailClient* mozilla = catalogue.LoadedClient(CLIENT_MOZILLA))
            mozilla->ConfigureAccount(0);
        refresh = std::min(refresh, Seconds([&]() { catalogue.Refresh(); }));
        if (CMailClient* mozilla = catalogue.LoadedClient(CLIENT_MOZILLA))
            mozilla->UnconfigureAccount(0);
    }
    printf(
        "load %.2f ms, rewrite %.2f ms, plain copy %.2f ms, flushed copy %.2f ms, refresh after configuring "
        "one %.2f ms\n",
        load * 1000, rewrite * 1000, copy * 1000, durable * 1000, refresh * 1000);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && strcmp(argv[1], "--prefs-only") == 0)
        return PrefsOnly(atoi(argv[2]));
    if (argc > 2 && strcmp(argv[1], "--load-only") == 0)
        return LoadOnly(atoi(argv[2]), argc > 3 ? atoi(argv[3]) : 20, argc > 4 ? atoi(argv[4]) : -1);
    const bool quick = argc > 1 && strcmp(argv[1], "--short") == 0;
    printf("nimbrel-bench%s: loads are the fastest of %d runs, writes one run; the floor is measured beside "
           "each\n",
           quick ? " --short" : "", kLoadRuns);
    CBenchTable table;
    const int sizes[] = {1, 10, 100, 1000};
    for (int size : sizes) {
        if (quick && size > 100)
            break;
        CBenchUser::Shape shape;
        shape.accountsPerClient = size;
        const std::string name = std::to_string(size) + " per client";
        CBenchUser user(ScratchRoot("accounts"), shape);
        CScenario("accounts", name, user).Measure(table);
        fprintf(stderr, "done: %s\n", name.c_str());
    }
    for (int entries : {20000, 200000}) {
        if (quick && entries > 20000)
            break;
        CBenchUser::Shape shape;
        shape.accountsPerClient = 10;
        shape.theBatMailEntries = entries;
        CBenchUser user(ScratchRoot("mail"), shape);
        const std::string name = "10 per client, The Bat! mail " + std::to_string(entries) + " entries";
        CScenario("mail", name, user).Measure(table);
        double walk = Seconds([&]() { CBenchFloor::WalkTree(user.TheBatMailFolder()); });
        table.Add("mail-walk", name, "bare walk of the mail folder (not part of any load)", walk, walk);
        fprintf(stderr, "done: %s\n", name.c_str());
    }
    // One store file of many accounts: a prefs.js of 50 and of 500, Opera 7's file of 1,000.
    for (int accounts : {50, 500}) {
        CBenchUser::Shape shape;
        shape.accountsPerClient = accounts;
        shape.prefsBytes = accounts == 500 ? 5900 * 1024 : 600 * 1024;
        shape.mozillaOnly = true;
        CBenchUser user(ScratchRoot("prefs"), shape);
        const std::string name = "prefs.js " + std::string(accounts == 500 ? "5.9" : "0.6") + " MB, " +
                                 std::to_string(accounts) + " accounts";
        if (!quick || accounts == 50)
            CScenario("prefs-load", name, user).Measure(table);
        if (accounts == 500)
            MeasurePrefsRewrite(user, table, 3);
        fprintf(stderr, "done: %s\n", name.c_str());
    }
    if (!quick) {
        CBenchUser::Shape shape;
        shape.accountsPerClient = 1000;
        shape.opera7Only = true;
        CBenchUser user(ScratchRoot("opera7"), shape);
        CScenario("opera7", "Opera 7 accounts.ini, 1000 accounts", user).Measure(table);
        fprintf(stderr, "done: Opera 7 1000 accounts\n");
    }
    table.Print();
    return 0;
}
