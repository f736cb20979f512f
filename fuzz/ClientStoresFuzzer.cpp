// Fuzz target: the strings each adapter takes from a client's store to find its program and its accounts
// (recorded command lines, folders, class ids, key names, depot entries, account lists and counts), with the
// accounts found configured and given back.
#include "AdapterRoundTrip.h"
#include "FuzzInput.h"
#include "FuzzScratch.h"

#include "clients/EudoraClient.h"
#include "clients/IncrediMailClient.h"
#include "clients/MozillaClient.h"
#include "clients/NetscapeClient.h"
#include "clients/Opera7Client.h"
#include "clients/OperaClient.h"
#include "clients/OutlookClient.h"
#include "clients/OutlookExpressClient.h"
#include "clients/TheBatClient.h"
#include "clients/TheBatDepot.h"
#include "Environment.h"
#include "RegKey.h"
#include "settings/ProductSettings.h"

#include <cstddef>
#include <cstdint>

namespace {

const char kRootMark[] = "%R";

// "%R" in a text from the input stands for the scratch folder, so that paths can name files that exist.
std::string Rooted(std::string text)
{
    const std::string& root = CFuzzScratch::Get().Root();
    for (size_t at = text.find(kRootMark); at != std::string::npos;
         at = text.find(kRootMark, at + root.size()))
        text.replace(at, 2, root);
    return text;
}

// Files are written only below the scratch folder: any path the adapter settled on must lie there.
bool InsideScratch(const std::string& path)
{
    const std::string& root = CFuzzScratch::Get().Root();
    return path.compare(0, root.size() + 1, root + "\\") == 0 && path.find("..") == std::string::npos &&
           path.find('/') == std::string::npos;
}

void SetString(HKEY root, const std::string& path, const char* name, const std::string& value,
               DWORD type = REG_SZ)
{
    plat::CRegKey key;
    if (key.Create(root, path.c_str(), KEY_WRITE) != ERROR_SUCCESS)
        return;
    plat::RegWrite(key.Get(), name, type, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void SetDword(HKEY root, const std::string& path, const char* name, DWORD value)
{
    plat::CRegKey key;
    if (key.Create(root, path.c_str(), KEY_WRITE) == ERROR_SUCCESS)
        key.SetDword(name, value);
}

template <class Client> std::unique_ptr<CMailClient> Make()
{
    return std::unique_ptr<CMailClient>(new Client);
}

// Detects with a throwaway adapter; the accounts are read and written only when the program it found (and
// the files that lie beside it) are in the scratch folder.
template <class Client> void DetectThenRoundTrip(bool (*safe)(Client&), int fixedPort = 0)
{
    Client probe;
    if (!probe.DetectClient() || !safe(probe))
        return;
    CAdapterRoundTrip(&Make<Client>, fixedPort).Run(1);
}

template <class Client> bool ExeInside(Client& client)
{
    return InsideScratch(client.ExePath());
}

bool EudoraInside(CEudoraClient& client)
{
    return InsideScratch(client.ExePath()) && InsideScratch(client.IniPath());
}

// Registry accounts as Outlook Express and Outlook keep them, under names and with values from the input.
void SeedOutlookAccounts(CFuzzInput& input, const std::string& accountsKey)
{
    for (size_t n = input.Choice(4); n > 0; --n) {
        const std::string key = accountsKey + "\\" + input.Text(12);
        SetString(HKEY_CURRENT_USER, key, "Account Name", input.Text(20));
        SetString(HKEY_CURRENT_USER, key, "SMTP Email Address", "a@mail.example");
        const uint8_t flags = input.Byte();
        if (flags & 1)
            SetString(HKEY_CURRENT_USER, key, "IMAP User Name", "imap");
        SetString(HKEY_CURRENT_USER, key, "POP3 User Name", input.Text(60));
        SetString(HKEY_CURRENT_USER, key, "POP3 Server", input.Text(60));
        if (flags & 2)
            SetDword(HKEY_CURRENT_USER, key, "POP3 Port", input.Byte() | input.Byte() << 8);
        if (flags & 4)
            SetDword(HKEY_CURRENT_USER, key, "POP3 Use Sicily", flags >> 4);
    }
}

void FuzzEudora(CFuzzInput& input)
{
    SetString(HKEY_CURRENT_USER, "Software\\Qualcomm\\Eudora\\CommandLine", "current",
              Rooted(input.Text(300)));
    CFuzzScratch::WriteFile(CFuzzScratch::Get() / "Eudora\\Eudora.exe", "MZ");
    CFuzzScratch::WriteFile(CFuzzScratch::Get() / "Eudora\\eudora.ini", input.Rest());
    // Eudora keeps no port: a proxy user name's port other than 110 cannot go back into its settings.
    DetectThenRoundTrip<CEudoraClient>(&EudoraInside, 110);
}

bool OperaInside(COperaClient& client)
{
    if (!InsideScratch(client.ExePath()))
        return false;
    client.EnumerateAccounts();
    for (const std::string& file : client.FoundFiles()) {
        if (!InsideScratch(file))
            return false;
    }
    return true;
}

void FuzzOpera(CFuzzInput& input)
{
    const CFuzzScratch& scratch = CFuzzScratch::Get();
    SetString(HKEY_CURRENT_USER, "Software\\Opera Software", "Last CommandLine", Rooted(input.Text(300)));
    CFuzzScratch::WriteFile(scratch / "Opera\\Opera.exe", "MZ");
    const std::string account = "[SETTINGS]\r\nAccountName=Home\r\nEmailAddress=a@mail.example\r\n"
                                "[INCOMING]\r\nLogin=anna\r\nAddress=pop.mail.example\r\nPort=110\r\n";
    CFuzzScratch::WriteFile(scratch / "Opera\\Mail\\Home\\account.ini", account);
    CFuzzScratch::WriteFile(scratch / "Opera\\Mail\\Work\\account.ini", input.Text(400));
    CFuzzScratch::WriteFile(scratch / "Opera\\Mail\\accounts.ini", input.Rest());
    DetectThenRoundTrip<COperaClient>(&OperaInside);
}

void FuzzOpera7(CFuzzInput& input)
{
    const CFuzzScratch& scratch = CFuzzScratch::Get();
    SetString(HKEY_CURRENT_USER, "Software\\Opera Software", "Last CommandLine v2",
              scratch / "Opera\\opera.exe");
    CFuzzScratch::WriteFile(scratch / "Opera\\opera.exe", "MZ");
    CFuzzScratch::WriteFile(scratch / "appdata\\Opera\\Opera7\\Mail\\accounts.ini", input.Rest());
    DetectThenRoundTrip<COpera7Client>(&ExeInside<COpera7Client>);
}

void FuzzOutlookExpress(CFuzzInput& input)
{
    const DWORD type = input.Choice(2) ? REG_EXPAND_SZ : REG_SZ;
    SetString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Outlook Express", "InstallRoot",
              Rooted(input.Text(300)), type);
    CFuzzScratch::WriteFile(CFuzzScratch::Get() / "OE\\msimn.exe", "MZ");
    SeedOutlookAccounts(input, "Software\\Microsoft\\Internet Account Manager\\Accounts");
    DetectThenRoundTrip<COutlookExpressClient>(&ExeInside<COutlookExpressClient>);
}

void FuzzOutlook(CFuzzInput& input)
{
    const std::string version = std::to_string(7 + input.Choice(6));
    const char* part = input.Choice(2) ? "Outlook" : "Common";
    SetString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office\\" + version + ".0\\" + part + "\\InstallRoot",
              "Path", Rooted(input.Text(300)));
    CFuzzScratch::WriteFile(CFuzzScratch::Get() / "Office\\outlook.exe", "MZ");
    SeedOutlookAccounts(input, "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager\\Accounts");
    DetectThenRoundTrip<COutlookClient>(&ExeInside<COutlookClient>);
}

void FuzzMozillaFamily(CFuzzInput& input)
{
    const bool netscape = input.Choice(2) != 0;
    const std::string products = netscape ? "Software\\Netscape\\Netscape" : "Software\\Mozilla";
    for (size_t n = 1 + input.Choice(3); n > 0; --n) {
        const std::string name = input.Text(40);
        SetString(HKEY_CURRENT_USER, products + "\\" + name + (netscape ? "\\Main" : "\\bin"), "PathToExe",
                  Rooted(input.Text(300)));
    }
    const CFuzzScratch& scratch = CFuzzScratch::Get();
    CFuzzScratch::WriteFile(scratch / "Mozilla\\mozilla.exe", "MZ");
    CFuzzScratch::WriteFile(scratch / "appdata\\Mozilla\\Profiles\\p\\prefs.js",
                            "user_pref(\"mail.accountmanager.accounts\", \"account1\");\r\n"
                            "user_pref(\"mail.account.account1.server\", \"server1\");\r\n"
                            "user_pref(\"mail.account.account1.identities\", \"id1\");\r\n"
                            "user_pref(\"mail.identity.id1.useremail\", \"a@mail.example\");\r\n"
                            "user_pref(\"mail.server.server1.name\", \"Home\");\r\n"
                            "user_pref(\"mail.server.server1.type\", \"pop3\");\r\n"
                            "user_pref(\"mail.server.server1.userName\", \"anna\");\r\n"
                            "user_pref(\"mail.server.server1.hostname\", \"pop.mail.example\");\r\n");
    if (netscape)
        DetectThenRoundTrip<CNetscapeClient>(&ExeInside<CNetscapeClient>);
    else
        DetectThenRoundTrip<CMozillaClient>(&ExeInside<CMozillaClient>);
}

void FuzzIncrediMail(CFuzzInput& input)
{
    SetString(HKEY_LOCAL_MACHINE, "Software\\Classes\\IncrediMail.Kernel\\CLSID", nullptr, input.Text(100));
    SetString(HKEY_CLASSES_ROOT, "CLSID\\" + input.Text(100) + "\\InprocServer32", nullptr,
              Rooted(input.Text(300)));
    CFuzzScratch::WriteFile(CFuzzScratch::Get() / "IncrediMail\\ImApi.dll", "MZ");
    for (size_t identities = input.Choice(3); identities > 0; --identities) {
        const std::string identity = std::string(INCREDIMAIL_IDENTITIES_KEY) + "\\" + input.Text(20);
        for (size_t accounts = input.Choice(3); accounts > 0; --accounts) {
            const std::string key = identity + "\\Accounts\\" + input.Text(20);
            const uint8_t flags = input.Byte();
            SetString(HKEY_CURRENT_USER, key, "AccountName", "Home");
            SetString(HKEY_CURRENT_USER, key, "EmailAddress", "a@mail.example");
            SetString(HKEY_CURRENT_USER, key, "PopAccount", input.Text(60));
            SetString(HKEY_CURRENT_USER, key, "PopServer", input.Text(60));
            if (flags & 1)
                SetDword(HKEY_CURRENT_USER, key, "PopPort", input.Byte() | input.Byte() << 8);
            if (flags & 2)
                SetDword(HKEY_CURRENT_USER, key, "PopLogSecure", flags >> 4);
            if (flags & 4)
                SetString(HKEY_CURRENT_USER, key, "PopPort", "110");
        }
    }
    DetectThenRoundTrip<CIncrediMailClient>(&ExeInside<CIncrediMailClient>);
}

bool TheBatInside(CTheBatClient& client)
{
    if (!InsideScratch(client.ExePath()))
        return false;
    CTheBatDepot depot;
    if (!depot.LoadDepot())
        return false;
    for (int i = 0; i < depot.EntryCount(); ++i) {
        if (!depot.Entry(i)->dir.empty() && !InsideScratch(depot.Entry(i)->dir))
            return false;
    }
    return true;
}

void FuzzTheBat(CFuzzInput& input)
{
    const CFuzzScratch& scratch = CFuzzScratch::Get();
    const char* const kKey = "Software\\RIT\\The Bat!";
    const std::string depotKey = std::string(kKey) + "\\Users Depot";
    SetString(HKEY_CURRENT_USER, kKey, "EXE path", scratch / "TheBat\\thebat.exe");
    SetString(HKEY_CURRENT_USER, kKey, "Working Directory", Rooted(input.Text(200)));
    CFuzzScratch::WriteFile(scratch / "TheBat\\thebat.exe", "MZ");
    const size_t count = input.Choice(4);
    SetDword(HKEY_CURRENT_USER, depotKey, "Count",
             input.Choice(8) == 0 ? 0xFFFFFFFFu : static_cast<DWORD>(count));
    for (size_t i = 1; i <= count; ++i) {
        const std::string number = std::to_string(i);
        SetString(HKEY_CURRENT_USER, depotKey, ("User #" + number).c_str(), input.Text(40));
        SetString(HKEY_CURRENT_USER, depotKey, ("Dir #" + number).c_str(), Rooted(input.Text(200)));
    }
    // Account files where the entries most likely point: the working directory's account folders.
    const std::string file = input.Rest();
    CFuzzScratch::WriteFile(scratch / "TheBat\\Mail\\Home\\account.cfg", file);
    CFuzzScratch::WriteFile(scratch / "TheBat\\Mail\\Work\\account.cfg", file);
    DetectThenRoundTrip<CTheBatClient>(&TheBatInside);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CFuzzScratch& scratch = CFuzzScratch::Get();
    scratch.Reset();
    plat::SetEnvironmentValue("NIMBREL_FUZZ_ROOT", scratch.Root().c_str());
    CFuzzInput input(data, size);
    const size_t client = input.Choice(8);
    SetDword(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, NIMBREL_PROXY_PORT_VALUE, input.Choice(4) ? 110 : 8110);
    g_productSettings.GetProxyPort();
    switch (client) {
    case 0:
        FuzzOutlookExpress(input);
        break;
    case 1:
        FuzzOutlook(input);
        break;
    case 2:
        FuzzIncrediMail(input);
        break;
    case 3:
        FuzzEudora(input);
        break;
    case 4:
        FuzzTheBat(input);
        break;
    case 5:
        FuzzMozillaFamily(input);
        break;
    case 6:
        FuzzOpera(input);
        break;
    default:
        FuzzOpera7(input);
        break;
    }
    return 0;
}
