// What the adapter tests share: the fixture, stores read back, round-trip and refusal checks.
#include "support/ClientChecks.h"

#include "Environment.h"
#include "Files.h"
#include "fixtures/SampleWriter.h"

#include <algorithm>

namespace {

std::string ParentFolder(const std::string& path)
{
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void RemoveClientFolders(const std::string& appData)
{
    for (const char* folder : {"Mozilla", "Opera"})
        plat::RemoveFolderTree(JoinPath(appData, folder).c_str());
}

// The record's state and real settings in one line, so that a failed comparison shows what changed. The
// settings shown now are left out: the shared configure step sets them before the adapter writes.
std::string RecordText(const AccountInfo& a)
{
    const PopSettings& s = a.original;
    return a.name + " supported " + std::to_string(a.supported) + " configured " +
           std::to_string(a.configured) + " up to date " + std::to_string(a.upToDate) + " doubtful " +
           std::to_string(a.suspicious) + " reason " + std::to_string(a.reason) + " real " + s.userName +
           "|" + s.server + "|" + std::to_string(s.port) + "|" + std::to_string(s.authMode);
}

const char kMessagingProfiles[] =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem";
const char kOutlookAppPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";
const char kLiveMailAppPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\wlmail.exe";
const char kWindowsMailAppPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\winmail.exe";

} // namespace

CClientTest::CClientTest()
    : m_registry({{HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Account Manager"},
                  {HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager"},
                  {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Outlook Express"},
                  {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office\\9.0"},
                  {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office\\11.0"},
                  {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office\\12.0"},
                  {HKEY_CURRENT_USER, "Software\\Incredimail"},
                  {HKEY_LOCAL_MACHINE, "Software\\Classes\\IncrediMail.Kernel"},
                  {HKEY_CLASSES_ROOT, "CLSID\\{5F3A1C2E-7B44-4E0D-9A61-0C8D2B7E4F19}"},
                  {HKEY_CURRENT_USER, "Software\\Qualcomm"},
                  {HKEY_CURRENT_USER, "Software\\Opera Software"},
                  {HKEY_CURRENT_USER, "Software\\Mozilla"},
                  {HKEY_CURRENT_USER, "Software\\Netscape"},
                  {HKEY_CURRENT_USER, "Software\\RIT"},
                  {HKEY_CURRENT_USER, kMessagingProfiles},
                  {HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\15.0"},
                  {HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\16.0"},
                  {HKEY_LOCAL_MACHINE, kOutlookAppPath},
                  {HKEY_LOCAL_MACHINE, kLiveMailAppPath},
                  {HKEY_LOCAL_MACHINE, kWindowsMailAppPath},
                  {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows Live Mail"},
                  {HKEY_CURRENT_USER, "Software\\Microsoft\\Windows Mail"}}),
      m_port(110)
{
    plat::AppDataFolder(m_appData);
    RemoveClientFolders(m_appData);
    m_context.root = m_folder.Path();
    m_context.appData = m_appData;
}

CClientTest::~CClientTest()
{
    RemoveClientFolders(m_appData);
}

void CClientTest::UseProxyPort(DWORD port)
{
    m_port.Set(port);
    m_context.proxyPort = static_cast<int>(port);
}

std::string FileBytes(const std::string& path)
{
    std::string bytes = "<unreadable>";
    plat::ReadWholeFile(path.c_str(), bytes);
    return bytes;
}

AccountInfo RecordOf(const CMailClient& client, int index)
{
    AccountInfo info;
    info.name = "<no record>";
    client.GetAccount(index, info);
    return info;
}

size_t FileCount(const std::string& folder)
{
    std::vector<plat::DirEntry> entries;
    plat::ListDirectory(folder.c_str(), entries);
    size_t count = 0;
    for (const plat::DirEntry& entry : entries)
        count += entry.name != "." && entry.name != ".." ? 1 : 0;
    return count;
}

std::string Replaced(std::string text, const std::string& part, const std::string& by)
{
    const size_t at = text.find(part);
    EXPECT_NE(std::string::npos, at) << part;
    if (at != std::string::npos)
        text.replace(at, part.size(), by);
    return text;
}

StoreText BytesOf(const std::string& path)
{
    return [path] { return FileBytes(path); };
}

StoreText FileStore(const std::string& path)
{
    return [path] {
        const std::string folder = ParentFolder(path);
        if (!plat::PathExists(folder.c_str()))
            return FileBytes(path) + "\n<no folder>";
        std::vector<plat::DirEntry> entries;
        plat::ListDirectory(folder.c_str(), entries);
        std::vector<std::string> names;
        for (const plat::DirEntry& entry : entries)
            names.push_back(entry.name);
        std::sort(names.begin(), names.end());
        std::string text = FileBytes(path) + "\nbeside it:";
        for (const std::string& name : names)
            text += " " + name;
        return text;
    };
}

void ExpectRefused(CMailClient& client, int index, BOOL configure, const StoreText& store)
{
    const std::string before = store();
    const std::string record = RecordText(RecordOf(client, index));
    EXPECT_FALSE(configure ? client.ConfigureAccount(index) : client.UnconfigureAccount(index)) << index;
    EXPECT_EQ(before, store());
    EXPECT_EQ(record, RecordText(RecordOf(client, index)));
}

void ExpectUnsupported(const CMailClient& client, int index, const char* name, int reason)
{
    const AccountInfo a = RecordOf(client, index);
    EXPECT_EQ(name, a.name) << index;
    EXPECT_FALSE(a.supported) << name;
    EXPECT_EQ(reason, a.reason) << name;
}
