// The older clients' files in the ANSI code page (Windows-1252 here): "Zoë" is listed as such, written as its
// code-page byte and given back exactly; a byte the code page leaves undefined, or a letter it cannot hold,
// leaves the account alone and the file byte for byte as it was.
#include "support/ClientChecks.h"

#include "Files.h"
#include "clients/EudoraClient.h"
#include "clients/Opera7Client.h"
#include "clients/OperaClient.h"
#include "clients/TheBatClient.h"
#include "fixtures/SampleTheBat.h"
#include "fixtures/SampleWriter.h"
#include "settings/ProductSettings.h"

namespace {

const DWORD kProxyPort = 9110;
// "Zoë" in UTF-8, as the program holds it, and in Windows-1252, as the files hold it.
const char kZoeUtf8[] = "Zo\xC3\xAB";
const char kZoeBytes[] = "Zo\xEB";
// Names no Western code page holds, as the manual paths could hand them to an adapter.
const char* const kBeyondCodePage[] = {"\xC5\x81ukasz", "\xE6\x9D\x8E\xE9\x9B\xB7"};

// An adapter whose record can be set by hand, as a caller that did not read it from the file would.
template <class TClient> class CHandSet : public TClient
{
public:
    using TClient::Account;
};

class CodePageStores : public CClientTest
{
protected:
    CodePageStores() { UseProxyPort(kProxyPort); }

    std::string HomeCfg() const { return m_folder / "TheBat\\Mail\\Home\\account.cfg"; }
    std::string AccountsIni() const { return JoinPath(m_appData, "Opera\\Opera7\\Mail\\accounts.ini"); }

    // The Bat!'s home account with these bytes for its login and server.
    void SeedHome(const std::string& login, const std::string& server)
    {
        ASSERT_TRUE(SeedTheBatSamples(m_context));
        ASSERT_TRUE(SampleFile(HomeCfg(), Cfg(login, server, 110)));
    }
    static std::string Cfg(const std::string& login, const std::string& server, long long port)
    {
        TheBatSampleFile sample;
        sample.email = "zo\xEB@mail.example";
        sample.login = login;
        sample.server = server;
        sample.port = port;
        return TheBatAccountFileBytes(sample);
    }
    // Opera 7's first account with these bytes for its user name and server.
    void SeedOpera7(const std::string& userName, const std::string& server)
    {
        ASSERT_TRUE(SeedOpera7Samples(m_context));
        ASSERT_TRUE(SampleFile(AccountsIni(), Replaced(FileBytes(AccountsIni()),
                                                       "Incoming Username=petra\r\nIncoming "
                                                       "Servername=pop.mail.example\r\n",
                                                       "Incoming Username=" + userName +
                                                           "\r\nIncoming Servername=" + server + "\r\n")));
    }
};

// Hand-set settings that the code page cannot hold: both ways of writing are refused, nothing written.
template <class TClient> void ExpectHandSetRefused(const std::string& path)
{
    for (const char* name : kBeyondCodePage) {
        SCOPED_TRACE(name);
        const std::string before = FileBytes(path);
        CHandSet<TClient> client;
        ASSERT_TRUE(client.LoadClient());
        client.Account(0).current.userName = std::string(name) + "/pop.mail.example/110";
        EXPECT_FALSE(client.WriteAccount(0, WRITE_CURRENT));
        client.Account(0).current.userName = "petra";
        client.Account(0).current.server = std::string("pop.") + name + ".example";
        EXPECT_FALSE(client.WriteAccount(0, WRITE_CURRENT));
        client.Account(0).original.userName = name;
        EXPECT_FALSE(client.WriteAccount(0, WRITE_ORIGINAL));
        EXPECT_EQ(before, FileBytes(path));
    }
}

} // namespace

TEST_F(CodePageStores, TheBatCarriesCodePageLettersAndRefusesWhatItCannotHold)
{
    SeedHome(kZoeBytes, std::string("pop.") + kZoeBytes + ".example");
    const std::string home = FileBytes(HomeCfg());
    {
        CTheBatClient client;
        ASSERT_TRUE(client.LoadClient());
        const AccountInfo zoe = RecordOf(client, 0);
        EXPECT_TRUE(zoe.supported);
        EXPECT_EQ(kZoeUtf8, zoe.current.userName);
        EXPECT_EQ(std::string("pop.") + kZoeUtf8 + ".example", zoe.current.server);
        EXPECT_EQ("zo\xC3\xAB@mail.example", zoe.email);
    }
    // The proxy user name goes in as the code page's bytes, and the account comes back as it was.
    ExpectRoundTrip<CTheBatClient>(
        {0}, BytesOf(HomeCfg()),
        Cfg(std::string(kZoeBytes) + "/pop." + kZoeBytes + ".example/110", "localhost", kProxyPort), home);
    ExpectHandSetRefused<CTheBatClient>(HomeCfg());

    // Undefined bytes, in the login or the server; UTF-8 written into the file holds them too (0x81 of "Ł").
    const std::pair<std::string, std::string> holes[] = {
        {"Zo\x81", "pop.mail.example"},
        {"marta", "pop.\x9D.example"},
        {"\xC5\x81ukasz", "pop.mail.example"},
        {"Zo\x81/pop.mail.example/110", "localhost"},
    };
    for (const auto& hole : holes) {
        SCOPED_TRACE(hole.first + " " + hole.second);
        ASSERT_TRUE(SampleFile(HomeCfg(), Cfg(hole.first, hole.second, 110)));
        CTheBatClient client;
        ASSERT_TRUE(client.LoadClient());
        ExpectUnsupported(client, 0, "Home", REASON_CODE_PAGE);
        ExpectRefused(client, 0, TRUE, FileStore(HomeCfg()));
        ExpectRefused(client, 0, FALSE, FileStore(HomeCfg()));
    }
}

TEST_F(CodePageStores, Opera7CarriesCodePageLettersAndRefusesWhatItCannotHold)
{
    SeedOpera7(kZoeBytes, std::string("pop.") + kZoeBytes + ".example");
    const std::string before = FileBytes(AccountsIni());
    {
        COpera7Client client;
        ASSERT_TRUE(client.LoadClient());
        const AccountInfo zoe = RecordOf(client, 0);
        EXPECT_TRUE(zoe.supported);
        EXPECT_EQ(kZoeUtf8, zoe.current.userName);
        EXPECT_EQ(std::string("pop.") + kZoeUtf8 + ".example", zoe.current.server);
    }
    ExpectRoundTrip<COpera7Client>(
        {0}, BytesOf(AccountsIni()),
        Replaced(before,
                 std::string("Incoming Username=") + kZoeBytes + "\r\nIncoming Servername=pop." + kZoeBytes +
                     ".example\r\nIncoming Port=110\r\n",
                 std::string("Incoming Username=") + kZoeBytes + "/pop." + kZoeBytes +
                     ".example/110\r\nIncoming Servername=localhost\r\nIncoming Port=9110\r\n"),
        before);
    ExpectHandSetRefused<COpera7Client>(AccountsIni());

    const std::pair<std::string, std::string> holes[] = {
        {"Zo\x81", "pop.mail.example"},
        {"petra", "pop.\x8D.example"},
        {"\xE6\x9D\x8E\xE9\x9B\xB7", "pop.mail.example"},
    };
    for (const auto& hole : holes) {
        SCOPED_TRACE(hole.first + " " + hole.second);
        SeedOpera7(hole.first, hole.second);
        COpera7Client client;
        ASSERT_TRUE(client.LoadClient());
        ExpectUnsupported(client, 0, "Mail at home", REASON_CODE_PAGE);
        ExpectRefused(client, 0, TRUE, FileStore(AccountsIni()));
        // The other accounts of the file are still the program's.
        EXPECT_TRUE(RecordOf(client, 2).supported && RecordOf(client, 2).configured);
    }
    // A file in UTF-8 (with its byte-order mark) is read as such, but what the code page cannot hold is not
    // written into a client's file: the account is left alone before anything is written.
    SeedOpera7(kBeyondCodePage[0], "pop.mail.example");
    ASSERT_TRUE(SampleFile(AccountsIni(), "\xEF\xBB\xBF" + FileBytes(AccountsIni())));
    COpera7Client utf8;
    ASSERT_TRUE(utf8.LoadClient());
    EXPECT_EQ(kBeyondCodePage[0], RecordOf(utf8, 0).current.userName);
    ExpectUnsupported(utf8, 0, "Mail at home", REASON_CODE_PAGE);
    ExpectRefused(utf8, 0, TRUE, FileStore(AccountsIni()));
}

TEST_F(CodePageStores, OperaAndEudoraLeaveUndefinedBytesAlone)
{
    ASSERT_TRUE(SeedOperaSamples(m_context));
    ASSERT_TRUE(SeedEudoraSamples(m_context));
    const std::string operaFile = m_folder / "Opera\\Mail\\Home\\account.ini";
    const std::string eudoraFile = m_folder / "Eudora\\Data\\eudora.ini";
    ASSERT_TRUE(SampleFile(operaFile, Replaced(FileBytes(operaFile), "Login=olga", "Login=olga\x90")));
    ASSERT_TRUE(SampleFile(eudoraFile,
                           Replaced(FileBytes(eudoraFile), "PopServer=pop.eudora", "PopServer=pop.\x8F")));
    COperaClient opera;
    ASSERT_TRUE(opera.LoadClient());
    ExpectUnsupported(opera, 0, "Home mail", REASON_CODE_PAGE);
    ExpectRefused(opera, 0, TRUE, FileStore(operaFile));
    CEudoraClient eudora;
    ASSERT_TRUE(eudora.LoadClient());
    ExpectUnsupported(eudora, 0, "Eudora", REASON_CODE_PAGE);
    ExpectRefused(eudora, 0, TRUE, FileStore(eudoraFile));
}
