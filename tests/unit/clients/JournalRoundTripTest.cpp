// Every client's accounts come back exactly from the journal of original settings: configured, their proxy
// user name spoiled in the store, given back in a later run. And the SPA flag of the clients that keep one
// comes back as it was stored, across runs.
#include "support/ClientChecks.h"

#include "clients/DefaultClients.h"
#include "core/ClientCatalogue.h"
#include "core/OriginalsJournal.h"
#include "settings/ProductSettings.h"
#include "Files.h"
#include "RegKey.h"
#include "Registry.h"

#include <map>
#include <memory>

namespace {

// The record itself, to spoil what a client's store holds through the client's own write.
class CRecordAccess : public CMailClient
{
public:
    static AccountInfo& Record(CMailClient& client, int index)
    {
        return (client.*(&CRecordAccess::m_accounts))[index];
    }
};

std::string SettingsText(const PopSettings& s)
{
    return s.userName + "|" + s.server + "|" + std::to_string(s.port) + "|auth " +
           std::to_string(s.authMode) + "|spa " + std::to_string(s.spaFlag) +
           (s.spaFlagPresent ? "" : " absent") + "|secure " + std::to_string(s.secure) + " " + s.secureStored;
}

std::unique_ptr<CMailClient> Loaded(int client)
{
    std::unique_ptr<CMailClient> loaded(CreateDefaultClient(client));
    EXPECT_TRUE(loaded && loaded->LoadClient());
    return loaded;
}

class JournalRoundTrip : public CClientTest
{
protected:
    JournalRoundTrip()
    {
        // Secure accounts too: their stored secure setting must come back as well.
        plat::CRegKey package;
        package.Create(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, KEY_WRITE);
        package.SetDword(NIMBREL_PROXY_TLS_VALUE, 1);
        g_originalsJournal.SetPath(m_journalFolder / "journal.json");
    }
    ~JournalRoundTrip() override
    {
        g_originalsJournal.SetPath(std::string());
        g_originalsJournal.TakeNotices();
    }

    CTestFolder m_journalFolder;
};

} // namespace

TEST_F(JournalRoundTrip, EveryClientsAccountsComeBackFromTheJournal)
{
    int clients = 0;
    for (int c = 0; c < CLIENT_COUNT; ++c) {
        SCOPED_TRACE("client " + std::to_string(c));
        ASSERT_NE(nullptr, SeederOf(c));
        ASSERT_TRUE(SeederOf(c)(m_context));
        ++clients;

        // A round trip through the proxy user name first: a store's own rewrite may end its last line,
        // and the one through the journal must then leave every byte as this one does.
        {
            std::unique_ptr<CMailClient> plain = Loaded(c);
            CAcceptQuestions accept;
            for (int a = 0; a < plain->AccountCount(); ++a) {
                const AccountInfo record = RecordOf(*plain, a);
                if (!record.configured && TakesAction(ACTION_CONFIGURE, record)) {
                    ASSERT_TRUE(plain->ConfigureAccount(a, &accept)) << a;
                    ASSERT_TRUE(plain->UnconfigureAccount(a, &accept)) << a;
                }
            }
            ASSERT_TRUE(g_originalsJournal.Entries().empty());
        }

        // What a first run finds and configures.
        std::map<int, std::string> before;
        std::map<std::string, std::string> files;
        {
            std::unique_ptr<CMailClient> first = Loaded(c);
            for (int a = 0; a < first->AccountCount(); ++a) {
                const AccountInfo record = RecordOf(*first, a);
                std::string store, identity;
                if (record.configured || !TakesAction(ACTION_CONFIGURE, record) ||
                    !first->LocateAccount(a, store, identity))
                    continue;
                before[a] = SettingsText(record.current);
                if (store.compare(0, 5, "HKEY_") != 0)
                    files[store] = FileBytes(store);
            }
            ASSERT_FALSE(before.empty()) << "the samples hold an account to configure";
            CAcceptQuestions accept;
            for (const auto& account : before)
                ASSERT_TRUE(first->ConfigureAccount(account.first, &accept)) << account.first;
        }
        ASSERT_EQ(before.size(), g_originalsJournal.Entries().size());

        // The user (or the client) rewrites the proxy user name; the journal is not asked.
        const std::string path = g_originalsJournal.Path();
        g_originalsJournal.SetPath(std::string());
        {
            std::unique_ptr<CMailClient> spoiler = Loaded(c);
            for (const auto& account : before) {
                AccountInfo& record = CRecordAccess::Record(*spoiler, account.first);
                ASSERT_TRUE(record.configured) << account.first;
                record.current.userName = "spoiled";
                ASSERT_TRUE(spoiler->WriteAccount(account.first, WRITE_CURRENT)) << account.first;
            }
        }
        g_originalsJournal.SetPath(path);

        // A later run finds them configured from the journal alone and gives them back.
        {
            std::unique_ptr<CMailClient> later = Loaded(c);
            for (const auto& account : before) {
                const AccountInfo record = RecordOf(*later, account.first);
                EXPECT_EQ("spoiled", record.current.userName);
                EXPECT_TRUE(record.configured && record.journalled && record.fromJournal) << account.first;
                EXPECT_EQ(account.second, SettingsText(record.original)) << account.first;
                ASSERT_TRUE(later->UnconfigureAccount(account.first)) << account.first;
            }
        }
        std::unique_ptr<CMailClient> after = Loaded(c);
        for (const auto& account : before) {
            const AccountInfo record = RecordOf(*after, account.first);
            EXPECT_FALSE(record.configured || record.journalled) << account.first;
            EXPECT_EQ(account.second, SettingsText(record.current)) << account.first;
        }
        for (const auto& file : files)
            EXPECT_EQ(file.second, FileBytes(file.first)) << file.first << " byte for byte as it was";
        EXPECT_TRUE(g_originalsJournal.Entries().empty());

        // A damaged journal stops neither configuring nor giving back.
        const int target = before.begin()->first;
        ASSERT_TRUE(plat::ReplaceWholeFile(path.c_str(), "{\"format\": 1, \"entries\": [{"));
        CAcceptQuestions accept;
        ASSERT_TRUE(after->ConfigureAccount(target, &accept));
        ASSERT_TRUE(plat::ReplaceWholeFile(path.c_str(), "]"));
        std::unique_ptr<CMailClient> again = Loaded(c);
        ASSERT_TRUE(RecordOf(*again, target).configured);
        ASSERT_TRUE(again->UnconfigureAccount(target, &accept));
        EXPECT_EQ(before.begin()->second, SettingsText(RecordOf(*Loaded(c), target).current));
        EXPECT_EQ(2u, g_originalsJournal.TakeNotices().size()) << "each damaged file set aside and told";
    }
    EXPECT_EQ(CLIENT_COUNT, clients);
}

TEST_F(JournalRoundTrip, SpaFlagsComeBackAsStoredAcrossRuns)
{
    struct Flagged
    {
        int client;
        const char* value;
    };
    for (const Flagged& flagged :
         {Flagged{CLIENT_OUTLOOK_EXPRESS, "POP3 Use Sicily"}, Flagged{CLIENT_OUTLOOK, "POP3 Use Sicily"},
          Flagged{CLIENT_INCREDIMAIL, "PopLogSecure"}}) {
        SCOPED_TRACE(flagged.value + std::string(" of client ") + std::to_string(flagged.client));
        ASSERT_TRUE(SeederOf(flagged.client)(m_context));
        // The first account there is to configure, and its key.
        int target = -1;
        std::string keyPath;
        {
            std::unique_ptr<CMailClient> client = Loaded(flagged.client);
            for (int a = 0; a < client->AccountCount() && target < 0; ++a) {
                std::string store, identity;
                const AccountInfo record = RecordOf(*client, a);
                if (!record.configured && record.supported && record.original.secure == PROXY_SECURE_NONE &&
                    client->LocateAccount(a, store, identity)) {
                    target = a;
                    keyPath = store.substr(std::string("HKEY_CURRENT_USER\\").size()) + "\\" + identity;
                }
            }
        }
        ASSERT_GE(target, 0);
        for (int flag : {0, 1, 2, -1}) {
            SCOPED_TRACE("flag " + std::to_string(flag));
            {
                plat::CRegKey key;
                ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, keyPath.c_str(), KEY_READ | KEY_WRITE));
                if (flag < 0)
                    plat::RegRemoveValue(key.Get(), flagged.value);
                else
                    ASSERT_EQ(ERROR_SUCCESS, key.SetDword(flagged.value, static_cast<DWORD>(flag)));
            }
            const std::string stored = RegValueText(HKEY_CURRENT_USER, keyPath, flagged.value);
            ASSERT_TRUE(Loaded(flagged.client)->ConfigureAccount(target));
            // A new run, which knows the account from its store and the journal only.
            std::unique_ptr<CMailClient> later = Loaded(flagged.client);
            ASSERT_TRUE(RecordOf(*later, target).configured);
            EXPECT_EQ(flag > 0 ? AUTH_SPA : AUTH_NORMAL, RecordOf(*later, target).original.authMode);
            ASSERT_TRUE(later->UnconfigureAccount(target));
            EXPECT_EQ(stored, RegValueText(HKEY_CURRENT_USER, keyPath, flagged.value));
        }
    }
}
