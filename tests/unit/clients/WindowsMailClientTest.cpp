// Windows Live Mail and Windows Mail: the store found, every kind of account file read, and configuring and
// giving back that change exactly the settings they concern, in the file's own encoding.
#include "support/ClientChecks.h"

#include "Files.h"
#include "Environment.h"
#include "clients/Utf16Text.h"
#include "clients/WindowsMailClient.h"
#include "core/LoadContext.h"
#include "fixtures/SampleWriter.h"

#include <map>

#ifndef _WIN32
#include "PortableControl.h"
#endif

namespace {

std::string Utf16ToUtf8ForTest(const std::string& bytes)
{
    std::string text;
    EXPECT_TRUE(bytes.size() >= 2 && AppendUtf8FromUtf16Le(std::string_view(bytes).substr(2), text));
    return text;
}

class WindowsMailClients : public CClientTest
{
protected:
    std::string Store() const { return m_folder / "WindowsLiveMail"; }
    std::string FileOf(const char* id, const char* sub = "") const
    {
        return Store() + "\\" + sub + id + "\\account" + id + ".oeaccount";
    }
    // Record indices by account name: the folder walk decides the order.
    static std::map<std::string, int> ByName(const CMailClient& client)
    {
        std::map<std::string, int> names;
        for (int i = 0; i < client.AccountCount(); ++i)
            names[RecordOf(client, i).name] = i;
        return names;
    }
    static std::string Utf16(const std::string& text)
    {
        std::string bytes = "\xFF\xFE";
        EXPECT_TRUE(AppendUtf16LeFromUtf8(text, bytes));
        return bytes;
    }
};

} // namespace

TEST_F(WindowsMailClients, FindsTheStoreFromItsKeyOrTheLocalFolder)
{
    CWindowsMailClient none(kWindowsLiveMail);
    EXPECT_FALSE(none.LoadClient());

    // No "Store Root": the local application-data folder's own.
#ifdef _WIN32
    std::string local;
    ASSERT_TRUE(plat::LocalAppDataFolder(local));
#else
    const std::string local = m_folder / "Local";
    plat::portable::SetLocalAppDataFolder(local);
#endif
    ASSERT_TRUE(SampleRegKey(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows Mail"));
    const std::string inLocal = local + "\\Microsoft\\Windows Mail\\{X}\\a.oeaccount";
    ASSERT_TRUE(SampleFile(inLocal, "<MessageAccount><POP3_Server type=\"SZ\">p</POP3_Server>"
                                    "<POP3_User_Name type=\"SZ\">u</POP3_User_Name></MessageAccount>"));
    CWindowsMailClient mail(kWindowsMail);
    ASSERT_TRUE(mail.LoadClient());
#ifdef _WIN32
    plat::RemoveFolderTree((local + "\\Microsoft\\Windows Mail").c_str());
#else
    plat::portable::SetLocalAppDataFolder("");
#endif
    EXPECT_EQ(local + "\\Microsoft\\Windows Mail", mail.StoreFolder());
    ASSERT_EQ(1, mail.AccountCount());
    std::string store, identity;
    ASSERT_TRUE(mail.LocateAccount(0, store, identity));
    EXPECT_EQ(inLocal, store);
    EXPECT_EQ("a.oeaccount", identity);
    EXPECT_EQ("winmail.exe", mail.ExeName());
    EXPECT_EQ("", mail.ExePath());

    // An expandable "Store Root" is expanded.
    ASSERT_TRUE(plat::SetEnvironmentValue("NIMBREL_WLM_TEST", m_folder.Path().c_str()));
    ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows Live Mail", "Store Root",
                                "%NIMBREL_WLM_TEST%\\Mail\\", REG_EXPAND_SZ));
    CWindowsMailClient live(kWindowsLiveMail);
    EXPECT_TRUE(live.DetectClient());
    EXPECT_EQ(m_folder / "Mail", live.StoreFolder());
    plat::SetEnvironmentValue("NIMBREL_WLM_TEST", nullptr);

    // The program, for the icon only: App Paths names it when it was registered and exists.
    const char appPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\wlmail.exe";
    const std::string program = m_folder / "Program\\wlmail.exe";
    ASSERT_TRUE(SampleRegString(HKEY_LOCAL_MACHINE, appPath, nullptr, program));
    CWindowsMailClient unregistered(kWindowsLiveMail);
    EXPECT_TRUE(unregistered.DetectClient());
    EXPECT_EQ("", unregistered.ExePath());
    ASSERT_TRUE(SampleFile(program, "MZ"));
    CWindowsMailClient registered(kWindowsLiveMail);
    EXPECT_TRUE(registered.DetectClient());
    EXPECT_EQ(program, registered.ExePath());
}

TEST_F(WindowsMailClients, ReadsEveryKindOfAccount)
{
    ASSERT_TRUE(SeedWindowsLiveMailSamples(m_context));
    CWindowsMailClient client(kWindowsLiveMail);
    ASSERT_TRUE(client.LoadClient());
    // The news account is no mail account; the two damaged files are shown, refused.
    ASSERT_EQ(10, client.AccountCount());
    std::map<std::string, int> names = ByName(client);

    AccountInfo plain = RecordOf(client, names.at("Mail at home"));
    EXPECT_TRUE(plain.supported && !plain.configured);
    EXPECT_EQ("petra@mail.example", plain.email);
    EXPECT_EQ("pop.mail.example", plain.current.server);
    EXPECT_EQ(110, plain.current.port);
    EXPECT_FALSE(plain.current.spaFlagPresent);
    EXPECT_EQ(PROXY_SECURE_NONE, plain.current.secure);

    AccountInfo spa = RecordOf(client, names.at("SPA mail"));
    EXPECT_TRUE(spa.supported);
    EXPECT_EQ(AUTH_SPA, spa.current.authMode);
    EXPECT_TRUE(spa.current.spaFlagPresent);
    EXPECT_EQ(1, spa.current.spaFlag);

    // The proxy here speaks no TLS.
    AccountInfo secure = RecordOf(client, names.at("Secure mail"));
    EXPECT_FALSE(secure.supported);
    EXPECT_EQ(REASON_SECURE, secure.reason);
    EXPECT_EQ(PROXY_SECURE_SSL, secure.current.secure);
    EXPECT_EQ(995, secure.current.port);

    AccountInfo configured = RecordOf(client, names.at("Configured mail"));
    EXPECT_TRUE(configured.configured && configured.upToDate);
    EXPECT_EQ("pop.configured.example", configured.original.server);
    AccountInfo old = RecordOf(client, names.at("Old proxy port"));
    EXPECT_TRUE(old.configured && !old.upToDate);

    // A proxy user name on a server that is not the proxy's.
    AccountInfo doubtful = RecordOf(client, names.at("Doubtful mail"));
    EXPECT_TRUE(doubtful.configured && doubtful.suspicious && !doubtful.upToDate);
    ExpectUnsupported(client, names.at("IMAP mail"), "IMAP mail", REASON_IMAP);

    AccountInfo escaped = RecordOf(client, names.at("Tom & Jerry <home>"));
    EXPECT_TRUE(escaped.supported);
    EXPECT_EQ("tom&jerry", escaped.current.userName);
    EXPECT_EQ("tom&jerry@mail.example", escaped.email);

    // A damaged file tells no name: it is shown by its file's, so that the user can find it.
    EXPECT_EQ(0u, names.count(""));
    for (const char* file : {"account{B1}.oeaccount", "account{B2}.oeaccount"}) {
        ASSERT_EQ(1u, names.count(file)) << file;
        const AccountInfo damaged = RecordOf(client, names.at(file));
        EXPECT_TRUE(damaged.reason == REASON_CONFIG_UNREADABLE && !damaged.supported) << file;
    }
}

TEST_F(WindowsMailClients, ConfigureAndGiveBackWriteExactlyTheirSettings)
{
    ASSERT_TRUE(SeedWindowsLiveMailSamples(m_context));
    UseProxyPort(1100);
    const std::string home = FileBytes(FileOf("{A1}"));
    const std::string spa = FileBytes(FileOf("{A2}"));
    const std::string escaped = FileBytes(FileOf("{A9}", "Deep\\"));
    {
        CWindowsMailClient client(kWindowsLiveMail);
        ASSERT_TRUE(client.LoadClient());
        std::map<std::string, int> names = ByName(client);
        for (const char* name : {"Mail at home", "SPA mail", "Tom & Jerry <home>"})
            ASSERT_TRUE(client.ConfigureAccount(names.at(name))) << name;
    }
    // UTF-16 with its mark stays so; the added port takes the line layout of the settings before it.
    EXPECT_EQ(Utf16(Replaced(Replaced(Utf16ToUtf8ForTest(home), "pop.mail.example</POP3_Server>",
                                      "localhost</POP3_Server>"),
                             "<POP3_User_Name type=\"SZ\">petra</POP3_User_Name>\r\n"
                             "\t<SMTP_Server type=\"SZ\">smtp.mail.example</SMTP_Server>\r\n"
                             "\t<SMTP_Port type=\"DWORD\">00000019</SMTP_Port>\r\n",
                             "<POP3_User_Name type=\"SZ\">petra/pop.mail.example/110</POP3_User_Name>\r\n"
                             "\t<SMTP_Server type=\"SZ\">smtp.mail.example</SMTP_Server>\r\n"
                             "\t<SMTP_Port type=\"DWORD\">00000019</SMTP_Port>\r\n"
                             "\t<POP3_Port type=\"DWORD\">0000044c</POP3_Port>\r\n")),
              FileBytes(FileOf("{A1}")));
    // The SPA flag is turned off where it stands: the proxy does the SPA.
    EXPECT_EQ(
        Replaced(Replaced(Replaced(Replaced(spa, "pop.spa.example</POP3_Server>", "localhost</POP3_Server>"),
                                   ">petra</POP3_User_Name>",
                                   ">" + EncodeProxyUserName("petra", "pop.spa.example", 110, AUTH_SPA) +
                                       "</POP3_User_Name>"),
                          ">00000001</POP3_Use_Sicily>", ">00000000</POP3_Use_Sicily>"),
                 "00000019</SMTP_Port>\r\n",
                 "00000019</SMTP_Port>\r\n\t<POP3_Port type=\"DWORD\">0000044c</POP3_Port>\r\n"),
        FileBytes(FileOf("{A2}")));
    EXPECT_NE(
        std::string::npos,
        Utf16ToUtf8ForTest(FileBytes(FileOf("{A9}", "Deep\\"))).find("tom&amp;jerry/pop.escape.example/110"));

    CWindowsMailClient client(kWindowsLiveMail);
    ASSERT_TRUE(client.LoadClient());
    std::map<std::string, int> names = ByName(client);
    for (const char* name : {"Mail at home", "SPA mail", "Tom & Jerry <home>"}) {
        EXPECT_TRUE(RecordOf(client, names.at(name)).configured && RecordOf(client, names.at(name)).upToDate)
            << name;
        ASSERT_TRUE(client.UnconfigureAccount(names.at(name))) << name;
    }
    // Given back after a fresh load, the port the proxy needed is written as the default it stood for.
    EXPECT_EQ(Replaced(Utf16ToUtf8ForTest(home), "\t<SMTP_Server", "\t<SMTP_Server"),
              Replaced(Utf16ToUtf8ForTest(FileBytes(FileOf("{A1}"))),
                       "\t<POP3_Port type=\"DWORD\">0000006e</POP3_Port>\r\n", ""));
    EXPECT_EQ(
        spa, Replaced(FileBytes(FileOf("{A2}")), "\t<POP3_Port type=\"DWORD\">0000006e</POP3_Port>\r\n", ""));
    EXPECT_EQ(Utf16ToUtf8ForTest(escaped),
              Replaced(Utf16ToUtf8ForTest(FileBytes(FileOf("{A9}", "Deep\\"))),
                       "\t<POP3_Port type=\"DWORD\">0000006e</POP3_Port>\r\n", ""));
}

TEST_F(WindowsMailClients, OneLoadRoundTripIsByteExactAndSecureIsRestored)
{
    ASSERT_TRUE(SeedWindowsLiveMailSamples(m_context));
    ASSERT_TRUE(
        SampleRegDword(HKEY_CURRENT_USER, "Software\\Tarnwicke\\Nimbrel", "POP3 proxy speaks TLS", 1));
    const std::string home = FileBytes(FileOf("{A1}"));
    const std::string secure = FileBytes(FileOf("{A3}"));
    const std::string old = FileBytes(FileOf("{A5}"));
    CWindowsMailClient client(kWindowsLiveMail);
    ASSERT_TRUE(client.LoadClient());
    std::map<std::string, int> names = ByName(client);
    ASSERT_TRUE(client.ConfigureAccount(names.at("Mail at home")));
    ASSERT_TRUE(client.ConfigureAccount(names.at("Secure mail")));
    ASSERT_TRUE(client.ConfigureAccount(names.at("Old proxy port")));
    // The proxy's port is the default one: nothing is added to a file that had no port.
    EXPECT_EQ(std::string::npos, Utf16ToUtf8ForTest(FileBytes(FileOf("{A1}"))).find("POP3_Port"));
    const std::string secureText = Utf16ToUtf8ForTest(FileBytes(FileOf("{A3}")));
    EXPECT_NE(std::string::npos,
              secureText.find("<POP3_Secure_Connection type=\"DWORD\">00000000</POP3_Secure_Connection>"));
    EXPECT_NE(std::string::npos, secureText.find(">petra/pop.ssl.example[SSL]/995<"));
    EXPECT_EQ(std::string("\xEF\xBB\xBF"), FileBytes(FileOf("{A5}")).substr(0, 3));
    EXPECT_NE(std::string::npos, FileBytes(FileOf("{A5}")).find(">0000006e</POP3_Port>"));

    for (const char* name : {"Mail at home", "Secure mail", "Old proxy port"})
        ASSERT_TRUE(client.UnconfigureAccount(names.at(name))) << name;
    EXPECT_EQ(home, FileBytes(FileOf("{A1}")));
    EXPECT_EQ(secure, FileBytes(FileOf("{A3}")));
    EXPECT_NE(old, FileBytes(FileOf("{A5}")));
    EXPECT_NE(std::string::npos, FileBytes(FileOf("{A5}")).find(">pop.old.example</POP3_Server>"));
}

TEST_F(WindowsMailClients, DamagedOrChangedFilesAreNotWritten)
{
    ASSERT_TRUE(SeedWindowsLiveMailSamples(m_context));
    CWindowsMailClient client(kWindowsLiveMail);
    ASSERT_TRUE(client.LoadClient());
    std::map<std::string, int> names = ByName(client);
    // The file became unreadable after the load: nothing is written and the bytes stay.
    const std::string broken = "\xFF\xFE<\0M\0";
    ASSERT_TRUE(plat::ReplaceWholeFile(FileOf("{A1}").c_str(), broken));
    EXPECT_FALSE(client.ConfigureAccount(names.at("Mail at home")));
    EXPECT_EQ(broken, FileBytes(FileOf("{A1}")));
    for (int i = 0; i < client.AccountCount(); ++i) {
        if (RecordOf(client, i).reason == REASON_CONFIG_UNREADABLE) {
            EXPECT_FALSE(client.ConfigureAccount(i));
        }
    }
}
