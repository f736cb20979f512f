// CMailClient: loading sequence, icons and the registry and file-search operations shared by the adapters.
#include "core/MailClient.h"

#include "settings/ProductSettings.h"
#include "core/TextUtil.h"
#include "Files.h"
#include "Icons.h"
#include "RegKey.h"
#include "Registry.h"

#include <algorithm>
#include <cstddef>
#include <exception>
#include <memory>
#include <new>

namespace {

// The buffer size the clients' own readers use; a longer value is refused, never cut.
const DWORD kRegStringLimit = 260;

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

void CMailClient::ResetLoad()
{
    if (m_smallIcon)
        plat::FreeIcon(m_smallIcon);
    if (m_largeIcon)
        plat::FreeIcon(m_largeIcon);
    m_smallIcon = m_largeIcon = nullptr;
    m_iconsLoaded = FALSE;
    delete[] m_accounts;
    m_accounts = nullptr;
    m_accountCount = 0;
    m_installed = FALSE;
    m_foundFiles.clear();
    m_exePath.clear();
    m_batchOpen = FALSE;
    m_batchBefore.clear();
    m_batchJournal.clear();
    m_batchRetire.clear();
}

void CMailClient::BeginBatch()
{
    // Without room for the records as they were, the batch stays closed and every write goes out at once.
    try {
        m_batchBefore.assign(m_accounts, m_accounts + m_accountCount);
        // Read once for the whole batch: each account would otherwise read the package's key again.
        m_batchProxyPort = g_productSettings.GetProxyPort();
        m_batchProxyTls = g_productSettings.ProxySpeaksTls();
        m_batchOpen = TRUE;
    } catch (const std::exception&) {
        m_batchBefore.clear();
        m_batchOpen = FALSE;
    }
}

int CMailClient::ProxyPort() const
{
    return m_batchOpen ? m_batchProxyPort : g_productSettings.GetProxyPort();
}

BOOL CMailClient::ProxySpeaksTls() const
{
    return m_batchOpen ? m_batchProxyTls : g_productSettings.ProxySpeaksTls();
}

BOOL CMailClient::CommitBatch(std::vector<int>& failed)
{
    if (!m_batchOpen)
        return TRUE;
    m_batchOpen = FALSE;
    const size_t before = failed.size();
    // Journal first: each entry must be on disk before its store is touched.
    JournalOriginals(m_batchJournal);
    WriteStagedStores(failed);
    const std::vector<int> notWritten(failed.begin() + static_cast<std::ptrdiff_t>(before), failed.end());
    auto wasWritten = [&](int index) {
        return std::find(notWritten.begin(), notWritten.end(), index) == notWritten.end();
    };
    // The record says what the store holds: an account whose file kept its old bytes keeps its old state.
    std::vector<int> retire;
    for (int index : notWritten) {
        if (!IsValidIndex(index) || static_cast<size_t>(index) >= m_batchBefore.size())
            continue;
        Account(index) = m_batchBefore[static_cast<size_t>(index)];
        // An entry made for this batch only would outlive an account that was never configured.
        if (!Account(index).journalled &&
            std::find(m_batchJournal.begin(), m_batchJournal.end(), index) != m_batchJournal.end())
            retire.push_back(index);
        TellFileInUse(index);
    }
    for (int index : m_batchRetire) {
        if (wasWritten(index))
            retire.push_back(index);
    }
    RetireJournalEntries(retire);
    m_batchBefore.clear();
    m_batchJournal.clear();
    m_batchRetire.clear();
    return failed.size() == before;
}

BOOL CMailClient::LoadClient(CLoadContext* context)
{
    // Loaded alone, the adapter reads within a load of its own.
    std::unique_ptr<CLoadContext> own;
    if (!context) {
        own.reset(new (std::nothrow) CLoadContext);
        if (!own)
            return FALSE;
        context = own.get();
    }
    ResetLoad();
    m_load = context;
    const BOOL loaded = LoadWithin();
    m_load = nullptr;
    return loaded;
}

BOOL CMailClient::LoadWithin()
{
    // Adapters read outside data into strings; an allocation failure drops this client, not the program.
    try {
        m_installed = DetectClient();
        if (!m_installed)
            return FALSE;
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

void CMailClient::LoadIcons() const
{
    if (m_iconsLoaded || !m_installed)
        return;
    m_iconsLoaded = TRUE;
    plat::LoadFileIcons(m_exePath.c_str(), &m_smallIcon, &m_largeIcon);
}

HICON CMailClient::SmallIcon() const
{
    LoadIcons();
    return m_smallIcon;
}

HICON CMailClient::LargeIcon() const
{
    LoadIcons();
    return m_largeIcon;
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
    // Outside a load (a test, a tool) the search is one of its own.
    CLoadContext alone;
    const std::vector<std::string>& found = (m_load ? *m_load : alone).FindFiles(directory, fileName);
    m_foundFiles.insert(m_foundFiles.end(), found.begin(), found.end());
}
