// Opera 7: detection through its own value, the sample accounts.ini, the exact keys written.
#include "OperaTestFixture.h"

#include "clients/Opera7Client.h"
#include "clients/OperaClient.h"
#include "FileAttributes.h"

namespace {

class Opera7Clients : public OperaFixture
{
protected:
    std::string AccountsIni() const { return JoinPath(m_appData, "Opera\\Opera7\\Mail\\accounts.ini"); }
    void Install()
    {
        ASSERT_TRUE(SampleFile(m_folder / "Opera7\\opera.exe", "MZ"));
        ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, "Software\\Opera Software", "Last CommandLine v2",
                                    m_folder / "Opera7\\opera.exe"));
    }
};

} // namespace

TEST_F(Opera7Clients, DetectionAndTheAccountCount)
{
    {
        COpera7Client none;
        EXPECT_FALSE(none.LoadClient());
        EXPECT_FALSE(none.IsInstalled());
        EXPECT_EQ("opera.exe", none.ExeName());
    }
    Install();
    {
        // Installed, but no accounts file: nothing to show. Opera's own value does not count for it.
        COpera7Client client;
        EXPECT_FALSE(client.LoadClient());
        EXPECT_TRUE(client.IsInstalled());
        EXPECT_EQ(m_folder / "Opera7\\opera.exe", client.ExePath());
        EXPECT_EQ(AccountsIni(), client.AccountsIniPath());
        COperaClient older;
        EXPECT_FALSE(older.DetectClient());
    }
    struct Row
    {
        const char* count; // null: no key
        int accounts;
    };
    const Row rows[] = {{"2", 2},   {"3 accounts", 3}, {" 1", 1},          {"0", 0},    {"-1", 0},
                        {"abc", 0}, {"", 0},           {"99999999999", 0}, {nullptr, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.count ? row.count : "<none>");
        std::string text = "[Accounts]\r\n";
        if (row.count)
            text += "Count=" + std::string(row.count) + "\r\n";
        text += "[Account1]\r\nAccount Name=Only\r\n";
        ASSERT_TRUE(SampleFile(AccountsIni(), text));
        COpera7Client client;
        EXPECT_EQ(row.accounts != 0, client.LoadClient());
        EXPECT_EQ(row.accounts, client.AccountCount());
    }
}

TEST_F(Opera7Clients, SampleAccountsReadWithTheirStates)
{
    ASSERT_TRUE(SeedOpera7Samples(m_context));
    COpera7Client client;
    ASSERT_TRUE(client.LoadClient());
    ASSERT_EQ(7, client.AccountCount());
    ExpectProfileAccounts(
        client,
        {
            {"Mail at home", nullptr, 1, 0, 0, 0, 0, PROTOCOL_POP3, "petra", "pop.mail.example", 110, "petra",
             "pop.mail.example", 110},
            {"IMAP mail", nullptr, 0, 0, 0, 0, REASON_IMAP, PROTOCOL_IMAP, "", "", 0, "", "", 0},
            {"Configured mail", nullptr, 1, 1, 1, 0, 0, PROTOCOL_POP3, "petra.c/pop.configured.example/995",
             "localhost", 110, "petra.c", "pop.configured.example", 995},
            {"Lower-case protocol", nullptr, 0, 0, 0, 0, REASON_UNKNOWN_PROTOCOL, PROTOCOL_UNKNOWN, "", "", 0,
             "", "", 0},
            {"Old proxy port", nullptr, 1, 1, 0, 0, 0, PROTOCOL_POP3, "petra.o/pop.old.example/110",
             "127.0.0.1", 8110, "petra.o", "pop.old.example", 110},
            {"No user name", nullptr, 0, 0, 0, 0, REASON_CONFIG_UNREADABLE, PROTOCOL_UNKNOWN, "", "", 0, "",
             "", 0},
            {"", nullptr, 0, 0, 0, 0, REASON_CONFIG_UNREADABLE, PROTOCOL_UNKNOWN, "", "", 0, "", "", 0},
        });
    EXPECT_EQ("petra@mail.example", RecordOf(client, 0).email);
}

TEST_F(Opera7Clients, ConfigureAndUnconfigureWriteExactlyTheirKeys)
{
    ASSERT_TRUE(SeedOpera7Samples(m_context));
    m_port.Set(1100);
    const std::string before = FileBytes(AccountsIni());
    {
        COpera7Client client;
        ASSERT_TRUE(client.LoadClient());
        ASSERT_TRUE(client.ConfigureAccount(0));
        ASSERT_TRUE(client.ConfigureAccount(4)); // the old port: the proxy's settings written again
    }
    std::string expected = before;
    const std::string first =
        "Incoming Username=petra\r\nIncoming Servername=pop.mail.example\r\nIncoming Port=110\r\n";
    expected.replace(expected.find(first), first.size(),
                     "Incoming Username=petra/pop.mail.example/110\r\nIncoming Servername=localhost\r\n"
                     "Incoming Port=1100\r\n");
    const std::string oldPort = "Incoming Servername=127.0.0.1\r\nIncoming Port=8110\r\n";
    const std::string newPort = "Incoming Servername=localhost\r\nIncoming Port=1100\r\n";
    expected.replace(expected.find(oldPort), oldPort.size(), newPort);
    EXPECT_EQ(expected, FileBytes(AccountsIni()));
    {
        COpera7Client client;
        ASSERT_TRUE(client.LoadClient());
        EXPECT_TRUE(RecordOf(client, 0).configured && RecordOf(client, 0).upToDate);
        EXPECT_TRUE(RecordOf(client, 4).configured && RecordOf(client, 4).upToDate);
        ASSERT_TRUE(client.UnconfigureAccount(0));
    }
    std::string restored = before;
    restored.replace(restored.find(oldPort), oldPort.size(), newPort);
    EXPECT_EQ(restored, FileBytes(AccountsIni()));
    EXPECT_EQ(1u, FileCount(JoinPath(m_appData, "Opera\\Opera7\\Mail")));
}

TEST_F(Opera7Clients, AFailedWriteLeavesTheFileAsItWas)
{
    ASSERT_TRUE(SeedOpera7Samples(m_context));
    COpera7Client client;
    ASSERT_TRUE(client.LoadClient());
    EXPECT_FALSE(client.WriteAccount(-1, 0));
    EXPECT_FALSE(client.WriteAccount(7, 0));

    // A read-only file keeps every key; the record stays as it was.
    const std::string before = FileBytes(AccountsIni());
    ASSERT_TRUE(plat::SetFileReadOnly(AccountsIni().c_str(), TRUE));
    EXPECT_FALSE(client.ConfigureAccount(0));
    ASSERT_TRUE(plat::SetFileReadOnly(AccountsIni().c_str(), FALSE));
    EXPECT_EQ(before, FileBytes(AccountsIni()));
    EXPECT_EQ(1u, FileCount(JoinPath(m_appData, "Opera\\Opera7\\Mail")));
    EXPECT_FALSE(RecordOf(client, 0).configured);

    // The file went away after it was read: it is not made anew with three keys in it.
    ASSERT_TRUE(plat::RemoveFile(AccountsIni().c_str()));
    EXPECT_FALSE(client.ConfigureAccount(0));
    EXPECT_FALSE(plat::PathExists(AccountsIni().c_str()));
    EXPECT_FALSE(RecordOf(client, 0).configured);
    EXPECT_EQ(0u, FileCount(JoinPath(m_appData, "Opera\\Opera7\\Mail")));
}

TEST_F(Opera7Clients, ARenumberedFileIsNotWrittenIntoAnotherAccount)
{
    ASSERT_TRUE(SeedOpera7Samples(m_context));
    COpera7Client client;
    ASSERT_TRUE(client.LoadClient());
    // Opera numbered its accounts anew after the list was read: "Account1" now holds the configured one.
    std::string renumbered = FileBytes(AccountsIni());
    renumbered.replace(renumbered.find("[Account1]"), 10, "[AccountX]");
    renumbered.replace(renumbered.find("[Account3]"), 10, "[Account1]");
    renumbered.replace(renumbered.find("[AccountX]"), 10, "[Account3]");
    ASSERT_TRUE(plat::ReplaceWholeFile(AccountsIni().c_str(), renumbered));
    EXPECT_FALSE(client.ConfigureAccount(0));
    EXPECT_FALSE(client.UnconfigureAccount(2));
    EXPECT_EQ(renumbered, FileBytes(AccountsIni()));
    EXPECT_FALSE(RecordOf(client, 0).configured);
    EXPECT_TRUE(RecordOf(client, 2).configured);

    // Read again, each account is written where it now is.
    COpera7Client fresh;
    ASSERT_TRUE(fresh.LoadClient());
    EXPECT_EQ("Configured mail", RecordOf(fresh, 0).name);
    ASSERT_TRUE(fresh.UnconfigureAccount(0));
    EXPECT_EQ("petra.c", RecordOf(fresh, 0).current.userName);
}
