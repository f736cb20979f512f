// CMailClient: loading sequence, icons and the registry and file-search operations shared by the adapters.
#include "core/MailClient.h"

#include "core/TextUtil.h"
#include "Files.h"
#include "Icons.h"
#include "ReadBatch.h"
#include "RegKey.h"
#include "Registry.h"

#include <mutex>
#include <new>

namespace {

// The buffer size the clients' own readers use; a longer value is refused, never cut.
const DWORD kRegStringLimit = 260;

// The folder searches of the current read batch.
struct FolderSearch
{
    std::string directory;
    std::string fileName;
    std::vector<std::string> found;
};
std::mutex g_searchLock;
unsigned long g_searchBatch = 0;
std::vector<FolderSearch> g_searches;

} // namespace

CMailClient::CMailClient() = default;

CMailClient::~CMailClient()
{
    if (m_smallIcon)
        plat::FreeIcon(m_smallIcon);
    if (m_largeIcon)
        plat::FreeIcon(m_largeIcon);
    delete[] m_accounts;
}

BOOL CMailClient::LoadClient()
{
    // One load reads each profile file once, however many of its keys it asks for.
    plat::CReadBatch batch;
    // Adapters read outside data into strings; an allocation failure drops this client, not the program.
    try {
        m_installed = DetectClient();
        if (!m_installed)
            return FALSE;
        LoadIcons();
        int count = EnumerateAccounts();
        if (count <= 0)
            return FALSE;
        m_accounts = new (std::nothrow) AccountInfo[count];
        if (!m_accounts)
            return FALSE;
        m_accountCount = count;
        for (int i = 0; i < m_accountCount; ++i)
            EvaluateAccount(i);
        return TRUE;
    } catch (const std::exception&) {
        delete[] m_accounts;
        m_accounts = nullptr;
        m_accountCount = 0;
        return FALSE;
    }
}

void CMailClient::LoadIcons()
{
    plat::LoadFileIcons(m_exePath.c_str(), &m_smallIcon, &m_largeIcon);
}

BOOL CMailClient::GetAccount(int index, AccountInfo& out) const
{
    if (m_accounts == nullptr || index < 0 || index >= m_accountCount)
        return FALSE;
    out = m_accounts[index];
    return TRUE;
}

BOOL CMailClient::ReadRegString(HKEY key, const char* valueName, std::string& out, int index)
{
    if (plat::QueryStringValue(key, valueName, out, kRegStringLimit) != ERROR_SUCCESS) {
        if (IsValidIndex(index))
            Account(index).reason = REASON_REGISTRY;
        return FALSE;
    }
    return TRUE;
}

BOOL CMailClient::ReadRegDword(HKEY key, const char* valueName, int& out, int index)
{
    DWORD value = 0;
    if (plat::QueryDwordValue(key, valueName, value) != ERROR_SUCCESS) {
        if (IsValidIndex(index))
            Account(index).reason = REASON_REGISTRY;
        return FALSE;
    }
    out = static_cast<int>(value);
    return TRUE;
}

BOOL CMailClient::ReadOptionalDword(HKEY key, const char* valueName, int& out, int def, int index,
                                    BOOL* present)
{
    DWORD value = 0;
    const LONG rc = plat::QueryDwordValue(key, valueName, value);
    if (rc == ERROR_FILE_NOT_FOUND) {
        out = def;
        if (present)
            *present = FALSE;
        return TRUE;
    }
    if (rc != ERROR_SUCCESS) {
        if (IsValidIndex(index))
            Account(index).reason = REASON_REGISTRY;
        return FALSE;
    }
    out = static_cast<int>(value);
    if (present)
        *present = TRUE;
    return TRUE;
}

BOOL CMailClient::FitsRegString(const std::string& text)
{
    return text.size() + 1 <= kRegStringLimit && text.find('\0') == std::string::npos;
}

size_t CMailClient::MaxRegStringLength()
{
    return kRegStringLimit - 1;
}

BOOL CMailClient::WriteRegString(HKEY key, const char* valueName, const std::string& text)
{
    if (!FitsRegString(text))
        return FALSE;
    return plat::RegWrite(key, valueName, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1)) ==
           ERROR_SUCCESS;
}

BOOL CMailClient::WriteRegDword(HKEY key, const char* valueName, DWORD value)
{
    return plat::RegWrite(key, valueName, REG_DWORD, &value, sizeof(value)) == ERROR_SUCCESS;
}

void CMailClient::FindFilesRecursive(const std::string& directory, const std::string& fileName)
{
    const unsigned long batch = plat::ReadBatchId();
    if (batch == 0) {
        SearchFolder(directory, fileName);
        return;
    }
    std::lock_guard<std::mutex> lock(g_searchLock);
    if (g_searchBatch != batch) {
        g_searches.clear();
        g_searchBatch = batch;
    }
    for (const FolderSearch& search : g_searches) {
        if (search.directory == directory && search.fileName == fileName) {
            m_foundFiles.insert(m_foundFiles.end(), search.found.begin(), search.found.end());
            return;
        }
    }
    const size_t before = m_foundFiles.size();
    SearchFolder(directory, fileName);
    g_searches.push_back({directory, fileName,
                          std::vector<std::string>(m_foundFiles.begin() + static_cast<std::ptrdiff_t>(before),
                                                   m_foundFiles.end())});
}

void CMailClient::SearchFolder(const std::string& directory, const std::string& fileName)
{
    std::vector<plat::DirEntry> entries;
    if (!plat::ListDirectory(directory.c_str(), entries))
        return;
    for (const plat::DirEntry& entry : entries) {
        // A linked folder is not entered: a link back up the tree would make the walk, and the load, endless.
        if (entry.isDirectory && !entry.name.empty() && entry.name[0] != '.') {
            if (!entry.isLink)
                SearchFolder(directory + "\\" + entry.name, fileName);
        } else if (EqualsNoCase(entry.name, fileName))
            m_foundFiles.push_back(directory + "\\" + fileName);
    }
}
