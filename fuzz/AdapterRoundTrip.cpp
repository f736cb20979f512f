// CAdapterRoundTrip: configure, reload, unconfigure, reload, over one adapter, with the settings compared.
#include "AdapterRoundTrip.h"
#include "FuzzScratch.h"

#include "Files.h"
#include "Prompt.h"
#include "Registry.h"
#include "RegKey.h"
#include "settings/ProductSettings.h"

#include <cstdio>
#include <vector>

namespace {

int AcceptEverything(const char*, const char*, UINT, void*)
{
    return IDOK;
}

bool SameSettings(const PopSettings& a, const PopSettings& b)
{
    if (a.userName == b.userName && a.server == b.server && a.port == b.port && a.authMode == b.authMode)
        return true;
    fprintf(stderr, "settings differ: [%s] [%s] %d %d and [%s] [%s] %d %d\n", a.userName.c_str(),
            a.server.c_str(), a.port, a.authMode, b.userName.c_str(), b.server.c_str(), b.port, b.authMode);
    return false;
}

void SnapshotFiles(const std::string& folder, std::string& out)
{
    std::vector<plat::DirEntry> entries;
    plat::ListDirectory(folder.c_str(), entries);
    for (const plat::DirEntry& entry : entries) {
        if (entry.name == "." || entry.name == "..")
            continue;
        const std::string path = folder + "\\" + entry.name;
        if (entry.isDirectory) {
            out += "D " + path + "\n";
            SnapshotFiles(path, out);
            continue;
        }
        std::string bytes;
        plat::ReadWholeFile(path.c_str(), bytes);
        out += "F " + path + " " + std::to_string(bytes.size()) + "\n" + bytes + "\n";
    }
}

void SnapshotKey(HKEY root, const std::string& path, std::string& out)
{
    plat::CRegKey key;
    if (key.Open(root, path.c_str(), KEY_READ) != ERROR_SUCCESS)
        return;
    out += "K " + path + "\n";
    for (DWORD i = 0;; ++i) {
        char name[1024];
        DWORD nameLength = sizeof(name);
        DWORD type = 0;
        DWORD size = 0;
        if (plat::RegValueAt(key.Get(), i, name, &nameLength, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        std::string data(size, '\0');
        DWORD dataSize = size;
        nameLength = sizeof(name);
        plat::RegValueAt(key.Get(), i, name, &nameLength, &type, size ? &data[0] : nullptr, &dataSize);
        out += "V " + std::string(name, nameLength) + " " + std::to_string(type) + " " + data + "\n";
    }
    for (DWORD i = 0;; ++i) {
        char name[1024];
        DWORD nameLength = sizeof(name);
        if (plat::RegSubkeyName(key.Get(), i, name, &nameLength) != ERROR_SUCCESS)
            break;
        SnapshotKey(
            root, path.empty() ? std::string(name, nameLength) : path + "\\" + std::string(name, nameLength),
            out);
    }
}

} // namespace

std::string CAdapterRoundTrip::StoreSnapshot()
{
    std::string out;
    SnapshotFiles(CFuzzScratch::Get().Root(), out);
    SnapshotKey(HKEY_CURRENT_USER, "Software", out);
    return out;
}

std::unique_ptr<CMailClient> CAdapterRoundTrip::Load() const
{
    std::unique_ptr<CMailClient> client = m_factory();
    if (!client->LoadClient())
        return nullptr;
    return client;
}

void CAdapterRoundTrip::Run(size_t maxAccounts) const
{
    plat::SetPromptResponder(&AcceptEverything, nullptr);
    std::unique_ptr<CMailClient> first = Load();
    if (first) {
        const int count = first->AccountCount();
        for (int i = 0; i < count && static_cast<size_t>(i) < maxAccounts; ++i)
            CheckAccount(i, std::move(first));
    }
    plat::SetPromptResponder(nullptr, nullptr);
}

void CAdapterRoundTrip::CheckAccount(int index, std::unique_ptr<CMailClient> loaded) const
{
    std::unique_ptr<CMailClient> client = loaded ? std::move(loaded) : Load();
    FUZZ_CHECK(client != nullptr);
    AccountInfo before;
    FUZZ_CHECK(client->GetAccount(index, before));
    if (!before.supported)
        return;
    const int count = client->AccountCount();
    const std::string storeBefore = StoreSnapshot();
    if (!client->ConfigureAccount(index)) {
        FUZZ_CHECK(StoreSnapshot() == storeBefore);
        return;
    }
    // The store now holds the proxy settings, and the proxy user name carries every real setting.
    client = Load();
    FUZZ_CHECK(client != nullptr && client->AccountCount() == count);
    AccountInfo configured;
    FUZZ_CHECK(client->GetAccount(index, configured));
    FUZZ_CHECK(configured.supported && configured.configured);
    FUZZ_CHECK(SameSettings(configured.original, before.original));
    if (before.original.port > 0)
        FUZZ_CHECK(configured.upToDate && !configured.suspicious);

    const std::string storeConfigured = StoreSnapshot();
    if (!client->UnconfigureAccount(index)) {
        FUZZ_CHECK(StoreSnapshot() == storeConfigured);
        return;
    }
    client = Load();
    FUZZ_CHECK(client != nullptr && client->AccountCount() == count);
    AccountInfo restored;
    FUZZ_CHECK(client->GetAccount(index, restored));
    // Back as it was; a plain account whose settings the proxy user name cannot carry (a doubtful one's
    // negative port) is then left alone, with its settings as they are.
    FUZZ_CHECK(!restored.configured);
    FUZZ_CHECK(restored.supported || restored.reason == REASON_CONFIG_UNREADABLE);
    // A tag the client has no setting for (APOP in a client that keeps no authentication) cannot come back
    // into it; everything a plain account read from the client can.
    PopSettings expected = before.original;
    if (before.configured)
        expected.authMode = restored.current.authMode;
    FUZZ_CHECK(SameSettings(restored.current, expected));
}
