// COperaClient: Opera's mail accounts, one "account.ini" per account, listed by the mail folder's
// "accounts.ini".
#include "clients/OperaClient.h"

#include "clients/CodePageText.h"
#include "clients/OperaIniFile.h"
#include "core/TextUtil.h"
#include "Files.h"
#include "RegKey.h"

#include <cctype>
#include <exception>

namespace {

const char kOperaKey[] = "Software\\Opera Software";
const char kSettings[] = "SETTINGS";
const char kIncoming[] = "INCOMING";
// The list rows carry an account's index in 16 bits; a longer list is not a real one.
const size_t kMaxAccounts = 0xFFFF;

std::string TrimmedBlanks(std::string text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.pop_back();
    size_t first = 0;
    while (first < text.size() && std::isspace(static_cast<unsigned char>(text[first])))
        ++first;
    return text.substr(first);
}

} // namespace

std::string COperaClient::ExePathFromCommandLine(const std::string& commandLine)
{
    std::string text = TrimmedBlanks(commandLine);
    if (!text.empty() && text[0] == '"')
        return text.substr(1, text.find('"', 1) - 1);
    // The switches start at the first slash. A path may hold slashes of its own, so when that cut names
    // nothing, the switches start at the first slash after a blank.
    std::string firstCut = TrimmedBlanks(text.substr(0, text.find('/')));
    if (plat::PathExists(firstCut.c_str()))
        return firstCut;
    for (size_t slash = text.find('/'); slash != std::string::npos; slash = text.find('/', slash + 1)) {
        if (slash > 0 && std::isspace(static_cast<unsigned char>(text[slash - 1])))
            return TrimmedBlanks(text.substr(0, slash));
    }
    return firstCut.empty() ? text : firstCut;
}

COperaClient::COperaClient()
{
    m_displayName = "Opera";
    m_exeName = "opera.exe";
    m_commandLineValue = "Last CommandLine";
}

BOOL COperaClient::DetectClient()
{
    plat::CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, kOperaKey, KEY_READ) != ERROR_SUCCESS)
        return FALSE;
    std::string commandLine;
    // A command line longer than Opera's own buffer counts as unreadable, never as a cut path.
    if (key.QueryString(m_commandLineValue.c_str(), commandLine, MAX_PATH, nullptr, TRUE) != ERROR_SUCCESS)
        return FALSE;
    key.Close();
    size_t end = commandLine.find('\0');
    if (end != std::string::npos)
        commandLine.resize(end);
    m_exePath = ExePathFromCommandLine(commandLine);
    return !m_exePath.empty() && plat::PathExists(m_exePath.c_str());
}

void COperaClient::ResetLoad()
{
    m_readEntries.clear();
    m_staged.clear();
    CMailClient::ResetLoad();
}

int COperaClient::EnumerateAccounts()
{
    // The program folder is where the executable's name starts; its last occurrence, since a folder may
    // carry the same name.
    size_t at = ToLowerAscii(m_exePath).rfind(ToLowerAscii(m_exeName));
    if (at == std::string::npos)
        return 0;
    std::string listPath = m_exePath.substr(0, at) + "Mail\\accounts.ini";
    if (!plat::PathExists(listPath.c_str()))
        return 0;
    std::string entries;
    if (!COperaIniFile(listPath).ReadSection("ACCOUNTS", entries))
        return 0;
    std::string mailFolder = listPath.substr(0, listPath.rfind('\\') + 1);
    for (size_t start = 0; start < entries.size() && m_foundFiles.size() < kMaxAccounts;) {
        size_t end = entries.find('\0', start);
        std::string entry = entries.substr(start, end - start);
        if (entry.empty())
            break;
        std::string candidate = mailFolder + entry + "\\account.ini";
        // A file that gives a value is there, and the read keeps it for the account's own reads; only one
        // that gives none needs looking for (it counts if it is there at all, and is then shown unreadable).
        std::string name;
        if (COperaIniFile(candidate).ReadValue(kSettings, "AccountName", name) ||
            plat::PathExists(candidate.c_str()))
            m_foundFiles.push_back(candidate);
        start = end + 1;
    }
    return static_cast<int>(m_foundFiles.size());
}

BOOL COperaClient::ReadAccount(int index)
{
    if (!IsValidIndex(index) || static_cast<size_t>(index) >= m_foundFiles.size())
        return FALSE;
    AccountInfo& account = Account(index);
    COperaIniFile file(m_foundFiles[static_cast<size_t>(index)]);
    static const char* const kSettingsKeys[] = {"AccountName", "EmailAddress"};
    static const char* const kIncomingKeys[] = {"Login", "Address", "Port"};
    // Read two sections at once, then taken in the client's order: an account that fails shows the values
    // read before the one that is missing.
    std::string values[5];
    file.ReadValues(kSettings, kSettingsKeys, values, 2);
    file.ReadValues(kIncoming, kIncomingKeys, values + 2, 3);
    auto unreadable = [&]() -> BOOL {
        account.reason = REASON_CONFIG_UNREADABLE;
        return FALSE;
    };
    std::string* const fields[] = {&account.name, &account.email, &account.current.userName,
                                   &account.current.server};
    for (size_t i = 0; i < 4; ++i) {
        if (values[i].empty())
            return unreadable();
        *fields[i] = values[i];
    }
    if (values[4].empty() || !COperaIniFile::LeadingNumber(values[4], account.current.port))
        return unreadable();
    // What is written back must be what was read, in the file's code page.
    if (!HoldsInCodePage(values[2]) || !HoldsInCodePage(values[3])) {
        account.reason = REASON_CODE_PAGE;
        return FALSE;
    }
    account.current.authMode = AUTH_NORMAL;
    COperaIniFile::Entries read;
    read.reserve(5);
    for (size_t i = 0; i < 2; ++i)
        read.push_back({kSettings, kSettingsKeys[i], std::move(values[i])});
    for (size_t i = 0; i < 3; ++i)
        read.push_back({kIncoming, kIncomingKeys[i], std::move(values[2 + i])});
    KeepRead(index, std::move(read));
    return TRUE;
}

void COperaClient::KeepRead(int index, COperaIniFile::Entries entries)
{
    if (m_readEntries.size() <= static_cast<size_t>(index))
        m_readEntries.resize(static_cast<size_t>(index) + 1);
    m_readEntries[static_cast<size_t>(index)] = std::move(entries);
}

BOOL COperaClient::WriteChecked(const std::string& path, int index, const char* section,
                                const std::vector<std::pair<std::string, std::string>>& values)
{
    if (static_cast<size_t>(index) >= m_readEntries.size() ||
        m_readEntries[static_cast<size_t>(index)].empty())
        return FALSE;
    COperaIniFile::Entries entries;
    for (const auto& value : values)
        entries.push_back({section, value.first, value.second});
    if (InBatch()) {
        m_staged[path].push_back({index, std::move(entries)});
        return TRUE;
    }
    if (!COperaIniFile(path).WriteEntries(entries, m_readEntries[static_cast<size_t>(index)]))
        return FALSE;
    KeepWritten(index, entries);
    return TRUE;
}

void COperaClient::KeepWritten(int index, const COperaIniFile::Entries& values)
{
    for (const COperaIniFile::Entry& value : values) {
        for (COperaIniFile::Entry& entry : m_readEntries[static_cast<size_t>(index)]) {
            if (entry.section == value.section && entry.key == value.key)
                entry.value = value.value;
        }
    }
}

void COperaClient::WriteStagedStores(std::vector<int>& failed)
{
    std::map<std::string, std::vector<StagedWrite>> staged;
    staged.swap(m_staged);
    for (const auto& file : staged) {
        BOOL written = FALSE;
        try {
            COperaIniFile::Entries values;
            COperaIniFile::Entries expected;
            for (const StagedWrite& write : file.second) {
                values.insert(values.end(), write.values.begin(), write.values.end());
                const COperaIniFile::Entries& read = m_readEntries[static_cast<size_t>(write.index)];
                expected.insert(expected.end(), read.begin(), read.end());
            }
            written = COperaIniFile(file.first).WriteEntries(values, expected);
        } catch (const std::exception&) {
            written = FALSE;
        }
        for (const StagedWrite& write : file.second) {
            if (written)
                KeepWritten(write.index, write.values);
            else
                failed.push_back(write.index);
        }
    }
}

BOOL COperaClient::WriteAccount(int index, EWriteSource source)
{
    if (!IsValidIndex(index) || static_cast<size_t>(index) >= m_foundFiles.size())
        return FALSE;
    const PopSettings& settings = source == WRITE_ORIGINAL ? Account(index).original : Account(index).current;
    try {
        return WriteChecked(m_foundFiles[static_cast<size_t>(index)], index, kIncoming,
                            {{"Login", settings.userName},
                             {"Address", settings.server},
                             {"Port", std::to_string(settings.port)}});
    } catch (const std::exception&) {
        return FALSE;
    }
}

BOOL COperaClient::LocateAccount(int index, std::string& store, std::string& identity) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_foundFiles.size())
        return FALSE;
    store = m_foundFiles[static_cast<size_t>(index)];
    identity = kIncoming;
    return TRUE;
}
