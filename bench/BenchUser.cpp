// CBenchUser: the generated stores, written in the clients' own formats through plain file writes (no flush:
// a generated user needs no durability) and the in-memory registry.
#include "BenchUser.h"

#include "clients/IncrediMailClient.h"
#include "Files.h"
#include "fixtures/SampleTheBat.h"
#include "fixtures/SampleWriter.h"
#include "PortableControl.h"
#include "settings/ProductSettings.h"

#include <cstdio>
#include <stdexcept>

namespace {

std::string Native(const std::string& path)
{
    std::string native = path;
    for (char& c : native) {
        if (c == '\\')
            c = '/';
    }
    return native;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos)
        plat::CreateFolder(path.substr(0, slash).c_str());
    FILE* file = fopen(Native(path).c_str(), "wb");
    if (!file || fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || fclose(file) != 0)
        throw std::runtime_error("cannot write " + path);
}

void RegString(HKEY root, const std::string& path, const char* name, const std::string& value)
{
    if (!SampleRegString(root, path, name, value))
        throw std::runtime_error("cannot set " + path);
}

void RegDword(HKEY root, const std::string& path, const char* name, unsigned value)
{
    if (!SampleRegDword(root, path, name, value))
        throw std::runtime_error("cannot set " + path);
}

std::string Number(int i)
{
    char text[16];
    snprintf(text, sizeof(text), "%08d", i);
    return text;
}

std::string Pref(const std::string& key, const std::string& value)
{
    return "user_pref(\"" + key + "\", " + value + ");\r\n";
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

} // namespace

CBenchUser::CBenchUser(const std::string& root, const Shape& shape) : m_root(root), m_shape(shape)
{
    plat::RemoveFolderTree(m_root.c_str());
    plat::CreateFolder((m_root + "\\Temp").c_str());
    plat::portable::ResetRegistry();
    plat::portable::SetAppDataFolder(m_root + "\\AppData");
    plat::portable::SetTempFolder(m_root + "\\Temp");
    RegDword(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, NIMBREL_PROXY_PORT_VALUE, 110);
    g_productSettings.GetProxyPort();
    if (shape.opera7Only) {
        const std::string folder = Programs("Opera");
        WriteFile(folder + "\\Opera.exe", "MZ");
        RegString(HKEY_CURRENT_USER, "Software\\Opera Software", "Last CommandLine v2",
                  folder + "\\Opera.exe");
        MakeOpera7();
        return;
    }
    MakeMozilla();
    if (shape.mozillaOnly)
        return;
    MakeOutlook();
    MakeIncrediMail();
    MakeEudora();
    MakeTheBat();
    MakeOpera();
    MakeOpera7();
}

CBenchUser::~CBenchUser()
{
    plat::RemoveFolderTree(m_root.c_str());
    plat::portable::ResetRegistry();
}

std::string CBenchUser::Programs(const std::string& name) const
{
    return m_root + "\\Programs\\" + name;
}

void CBenchUser::MakeOutlook()
{
    WriteFile(Programs("OE\\msimn.exe"), "MZ");
    RegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Outlook Express", "InstallRoot", Programs("OE"));
    WriteFile(Programs("Office\\outlook.exe"), "MZ");
    RegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office\\11.0\\Outlook\\InstallRoot", "Path",
              Programs("Office\\"));
    for (const char* accounts : {"Software\\Microsoft\\Internet Account Manager\\Accounts",
                                 "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager\\Accounts"}) {
        m_storeKeys.push_back(accounts);
        m_registryAccounts += m_shape.accountsPerClient;
        for (int i = 1; i <= m_shape.accountsPerClient; ++i) {
            const std::string key = std::string(accounts) + "\\" + Number(i);
            const std::string n = std::to_string(i);
            RegString(HKEY_CURRENT_USER, key, "Account Name", "Account " + n);
            RegString(HKEY_CURRENT_USER, key, "SMTP Email Address", "user" + n + "@mail.example");
            RegString(HKEY_CURRENT_USER, key, "SMTP Server", "smtp.mail.example");
            RegString(HKEY_CURRENT_USER, key, "POP3 User Name", "user" + n);
            RegString(HKEY_CURRENT_USER, key, "POP3 Server", "pop" + n + ".mail.example");
            RegDword(HKEY_CURRENT_USER, key, "POP3 Port", 110);
            RegDword(HKEY_CURRENT_USER, key, "Connection Type", 3);
        }
    }
}

void CBenchUser::MakeIncrediMail()
{
    const std::string library = Programs("IncrediMail\\ImApi.dll");
    WriteFile(library, "MZ");
    RegString(HKEY_LOCAL_MACHINE, "Software\\Classes\\IncrediMail.Kernel\\CLSID", nullptr, "{BENCH}");
    RegString(HKEY_CLASSES_ROOT, "CLSID\\{BENCH}\\InprocServer32", nullptr, library);
    m_storeKeys.push_back(INCREDIMAIL_IDENTITIES_KEY);
    m_registryAccounts += m_shape.accountsPerClient;
    for (int i = 1; i <= m_shape.accountsPerClient; ++i) {
        // A hundred accounts to an identity.
        const std::string key = std::string(INCREDIMAIL_IDENTITIES_KEY) + "\\{ID-" + std::to_string(i / 100) +
                                "}\\Accounts\\{ACC-" + std::to_string(i) + "}";
        const std::string n = std::to_string(i);
        RegString(HKEY_CURRENT_USER, key, "AccountName", "Account " + n);
        RegString(HKEY_CURRENT_USER, key, "EmailAddress", "user" + n + "@mail.example");
        RegString(HKEY_CURRENT_USER, key, "PopAccount", "user" + n);
        RegString(HKEY_CURRENT_USER, key, "PopServer", "pop" + n + ".mail.example");
        RegDword(HKEY_CURRENT_USER, key, "PopPort", 110);
        RegDword(HKEY_CURRENT_USER, key, "PopLogSecure", 0);
    }
}

void CBenchUser::MakeEudora()
{
    // Eudora keeps one account, whatever the others hold.
    const std::string folder = Programs("Eudora");
    const std::string ini = folder + "\\eudora.ini";
    WriteFile(folder + "\\Eudora.exe", "MZ");
    WriteFile(ini, "[Settings]\r\nReturnAddress=user@eudora.example\r\nUsesIMAP=0\r\nUsesPOP=1\r\n"
                   "LoginName=user\r\nPopServer=pop.eudora.example\r\nAuthenticatePassword=1\r\n"
                   "AuthenticateAPOP=0\r\nAuthenticateRPA=0\r\nLeaveMailOnServer=1\r\n");
    RegString(HKEY_CURRENT_USER, "Software\\Qualcomm\\Eudora\\CommandLine", "current",
              folder + "\\Eudora.exe " + folder + " " + ini);
    m_storeFiles.push_back(ini);
    m_writtenFiles.push_back({ini, 1});
}

void CBenchUser::MakeTheBat()
{
    const std::string folder = Programs("TheBat");
    WriteFile(folder + "\\thebat.exe", "MZ");
    RegString(HKEY_CURRENT_USER, "Software\\RIT\\The Bat!", "EXE path", folder + "\\thebat.exe");
    RegString(HKEY_CURRENT_USER, "Software\\RIT\\The Bat!", "Working Directory", folder + "\\Mail\\");
    m_storeKeys.push_back("Software\\RIT\\The Bat!");
    m_theBatMail = folder + "\\Mail";
    const int accounts = m_shape.accountsPerClient;
    const std::string depot = "Software\\RIT\\The Bat!\\Users Depot";
    RegDword(HKEY_CURRENT_USER, depot, "Count", static_cast<unsigned>(accounts));
    const int mailPerAccount = m_shape.theBatMailEntries / accounts;
    for (int i = 1; i <= accounts; ++i) {
        const std::string name = "Account " + std::to_string(i);
        RegString(HKEY_CURRENT_USER, depot, ("User #" + std::to_string(i)).c_str(), name);
        RegString(HKEY_CURRENT_USER, depot, ("Dir #" + std::to_string(i)).c_str(), "");
        TheBatSampleFile sample;
        sample.email = "user" + std::to_string(i) + "@mail.example";
        sample.login = "user" + std::to_string(i);
        sample.server = "pop" + std::to_string(i) + ".mail.example";
        const std::string dir = m_theBatMail + "\\" + name;
        WriteFile(dir + "\\account.cfg", TheBatAccountFileBytes(sample));
        m_storeFiles.push_back(dir + "\\account.cfg");
        m_writtenFiles.push_back({dir + "\\account.cfg", 1});
        // Its message base: folders of messages, as many as the shape asks for.
        int made = 0;
        for (int f = 0; made < mailPerAccount; ++f) {
            const std::string mailFolder = dir + "\\Folder" + std::to_string(f);
            plat::CreateFolder(mailFolder.c_str());
            ++made;
            for (int m = 0; m < 99 && made < mailPerAccount; ++m, ++made)
                WriteFile(mailFolder + "\\" + Number(m) + ".msg",
                          "From: someone\r\nSubject: mail\r\n\r\nText\r\n");
        }
    }
}

void CBenchUser::MakeMozilla()
{
    WriteFile(Programs("Mozilla\\mozilla.exe"), "MZ");
    RegString(HKEY_CURRENT_USER, "Software\\Mozilla\\Mozilla 1.7\\bin", "PathToExe",
              Programs("Mozilla\\mozilla.exe"));
    if (!m_shape.mozillaOnly) {
        WriteFile(Programs("Netscape\\netscp.exe"), "MZ");
        RegString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape\\7.2\\Main", "PathToExe",
                  Programs("Netscape\\netscp.exe"));
    }
    std::string accounts, identities, servers, list;
    for (int i = 1; i <= m_shape.accountsPerClient; ++i) {
        const std::string n = std::to_string(i);
        const std::string server = "mail.server.server" + n + ".";
        accounts += Pref("mail.account.account" + n + ".identities", Quoted("id" + n)) +
                    Pref("mail.account.account" + n + ".server", Quoted("server" + n));
        identities += Pref("mail.identity.id" + n + ".fullName", Quoted("User " + n)) +
                      Pref("mail.identity.id" + n + ".useremail", Quoted("user" + n + "@mail.example"));
        servers += Pref(server + "check_new_mail", "true") +
                   Pref(server + "hostname", Quoted("pop" + n + ".mail.example")) +
                   Pref(server + "login_at_startup", "true") + Pref(server + "name", Quoted("Account " + n)) +
                   (i % 2 ? Pref(server + "port", "110") : std::string()) +
                   Pref(server + "type", Quoted("pop3")) + Pref(server + "userName", Quoted("user" + n));
        list += (i > 1 ? "," : "") + std::string("account") + n;
    }
    std::string prefs = "# Mozilla User Preferences\r\n\r\n" + accounts +
                        Pref("mail.accountmanager.accounts", Quoted(list)) + identities + servers;
    // Settings of other kinds, as a profile used for years gathers them.
    for (int k = 0; prefs.size() < m_shape.prefsBytes; ++k)
        prefs += Pref("browser.history.entry" + std::to_string(k),
                      Quoted("http://www.example.com/some/page/visited/long/ago/" + std::to_string(k)));
    const std::string profiles = m_root + "\\AppData\\Mozilla\\Profiles";
    m_prefsFile = profiles + "\\default\\x1y2z3.slt\\prefs.js";
    WriteFile(m_prefsFile, prefs);
    WriteFile(profiles + "\\default\\x1y2z3.slt\\bookmarks.html", "<!DOCTYPE bookmarks>\r\n");
    m_walkedTrees.push_back(profiles);
    m_storeFiles.push_back(m_prefsFile);
    // Mozilla and Netscape list the same accounts: each client writes them.
    m_writtenFiles.push_back({m_prefsFile, m_shape.accountsPerClient * (m_shape.mozillaOnly ? 1 : 2)});
    m_storeKeys.push_back("Software\\Mozilla");
}

void CBenchUser::MakeOpera()
{
    const std::string folder = Programs("Opera");
    WriteFile(folder + "\\Opera.exe", "MZ");
    RegString(HKEY_CURRENT_USER, "Software\\Opera Software", "Last CommandLine",
              folder + "\\Opera.exe /nomail");
    RegString(HKEY_CURRENT_USER, "Software\\Opera Software", "Last CommandLine v2", folder + "\\Opera.exe");
    std::string list = "[ACCOUNTS]\r\n";
    for (int i = 1; i <= m_shape.accountsPerClient; ++i) {
        const std::string n = std::to_string(i);
        list += "account" + n + "\r\n";
        const std::string ini = folder + "\\Mail\\account" + n + "\\account.ini";
        WriteFile(ini, "[SETTINGS]\r\nAccountName=Account " + n + "\r\nEmailAddress=user" + n +
                           "@mail.example\r\nSignature=\r\n[INCOMING]\r\nProtocol=POP3\r\nLogin=user" + n +
                           "\r\nAddress=pop" + n +
                           ".mail.example\r\nPort=110\r\nLeave on server=1\r\n"
                           "[OUTGOING]\r\nAddress=smtp.mail.example\r\nPort=25\r\n");
        m_storeFiles.push_back(ini);
        m_writtenFiles.push_back({ini, 1});
    }
    WriteFile(folder + "\\Mail\\accounts.ini", list);
    m_storeFiles.push_back(folder + "\\Mail\\accounts.ini");
}

void CBenchUser::MakeOpera7()
{
    std::string ini = "[Accounts]\r\nCount=" + std::to_string(m_shape.accountsPerClient) + "\r\n";
    for (int i = 1; i <= m_shape.accountsPerClient; ++i) {
        const std::string n = std::to_string(i);
        ini += "[Account" + n + "]\r\nAccount Name=Account " + n + "\r\nEmail=user" + n +
               "@mail.example\r\nIncoming Protocol=POP\r\nIncoming Username=user" + n +
               "\r\nIncoming Servername=pop" + n +
               ".mail.example\r\nIncoming Port=110\r\n"
               "Outgoing Servername=smtp.mail.example\r\nOutgoing Port=25\r\n";
    }
    const std::string path = m_root + "\\AppData\\Opera\\Opera7\\Mail\\accounts.ini";
    WriteFile(path, ini);
    m_storeFiles.push_back(path);
    m_writtenFiles.push_back({path, m_shape.accountsPerClient});
}
