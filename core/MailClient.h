// CMailClient: the adapter of one e-mail client, with the loading, classification and proxy operations shared
// by all adapters.
#pragma once

#include "core/AccountAction.h"
#include "core/AccountInfo.h"
#include "core/LoadContext.h"

#include <string>
#include <vector>

struct JournalEntry;

// Which settings of a record WriteAccount writes.
enum EWriteSource
{
    WRITE_CURRENT = 0, // the proxy settings that configuring put into the record's current settings
    WRITE_ORIGINAL = 1 // the account's own settings, to give it back
};

class CMailClient
{
public:
    CMailClient();
    CMailClient(const CMailClient&) = delete;
    CMailClient& operator=(const CMailClient&) = delete;

    // Slot order of the operations, as every adapter sees it.
    virtual BOOL EvaluateAccount(int index);
    virtual ~CMailClient();
    // Configures (or updates) record index. A doubtful record goes on only when answer confirms it; without
    // an answer it is left alone, as when the user declines: it is then unsupported until the next load.
    virtual BOOL ConfigureAccount(int index, CDoubtfulAnswer* answer = nullptr);
    virtual int EnumerateAccounts() { return 0; }
    virtual BOOL DetectClient() { return TRUE; }
    virtual BOOL WriteAccount(int /*index*/, EWriteSource /*source*/) { return TRUE; }
    virtual BOOL ReadAccount(int /*index*/) { return TRUE; }
    // The longest user name the client stores and reads back whole: an account whose proxy user name would
    // be longer is not supported.
    virtual size_t MaxUserNameLength() const { return static_cast<size_t>(-1); }
    // TRUE when the client shows it runs by holding one of its stores open (a profile's lock file), which the
    // process list can miss: it is then treated as running. Only valid after LoadClient.
    virtual BOOL IsStoreInUse() const { return FALSE; }
    // Where record index lives: its store (a file's full path, or a registry root and key path) and its
    // identity within that store (a section, a server number, a subkey name). Writes are grouped by store and
    // the journal of original settings keys its entries by both. FALSE when the record has no such place.
    virtual BOOL LocateAccount(int /*index*/, std::string& /*store*/, std::string& /*identity*/) const
    {
        return FALSE;
    }

    // DetectClient, EnumerateAccounts, then EvaluateAccount per record, within context (the load of
    // the whole catalogue; null for a load of this adapter alone). FALSE when the client is not installed,
    // has no accounts or its records could not be allocated: it is then shown nowhere. May be called again (a
    // refresh): each call starts from nothing and sees only what the stores hold then.
    BOOL LoadClient(CLoadContext* context = nullptr);
    BOOL UnconfigureAccount(int index, CDoubtfulAnswer* answer = nullptr);
    std::string GetReasonText(int index) const;

    // A batch of writes. Between BeginBatch and CommitBatch, an adapter that keeps several accounts in one
    // file stages each account's edit in WriteAccount instead of writing it; CommitBatch writes every such
    // file once (read, check it is still as read, apply every edit, one flushed replacement), all of that
    // file's accounts or none. The record of an account whose file was not written is put back as it was at
    // BeginBatch and its index added to failed; FALSE when there is any. Stores that are not staged (the
    // registry, one file per account) are written at once as always, so without BeginBatch nothing changes.
    void BeginBatch();
    BOOL CommitBatch(std::vector<int>& failed);
    BOOL InBatch() const { return m_batchOpen; }
    // The proxy's port and whether it speaks TLS: as at BeginBatch within a batch, read anew otherwise.
    int ProxyPort() const;
    BOOL ProxySpeaksTls() const;

    // Read-only views for the dialogs and the console tool; records are copied by the caller.
    const std::string& DisplayName() const { return m_displayName; }
    const std::string& ExeName() const { return m_exeName; }
    const std::string& ExePath() const { return m_exePath; }
    int AccountCount() const { return m_accountCount; }
    // The program's icons, taken from it when first asked for after a load: the console tool never asks,
    // and taking them is a slow part of a load under Wine.
    HICON SmallIcon() const;
    HICON LargeIcon() const;
    // A copy of record index; FALSE (and out unchanged) when the index is out of range.
    BOOL GetAccount(int index, AccountInfo& out) const;

protected:
    BOOL IsValidIndex(int index) const
    {
        return m_accounts != nullptr && index >= 0 && index < m_accountCount;
    }
    AccountInfo& Account(int index) { return m_accounts[index]; }

    // Typed reads of an open key. On failure (missing value, other type, longer than the buffer) they set
    // record index's reason to REASON_REGISTRY and leave the output unchanged.
    BOOL ReadRegString(HKEY key, const char* valueName, std::string& out, int index);
    BOOL ReadRegDword(HKEY key, const char* valueName, int& out, int index);
    // A number value that may be absent: def (and *present FALSE) when it is. FALSE (reason 2) when it is
    // there but no DWORD: writing the account would replace it by one, and its setting would be lost.
    BOOL ReadOptionalDword(HKEY key, const char* valueName, int& out, int def, int index,
                           BOOL* present = nullptr);
    // FALSE, writing nothing, for a text that ReadRegString could not read back: a proxy user name that
    // grew past the clients' buffer would strand the account's real settings where nothing reads them.
    BOOL WriteRegString(HKEY key, const char* valueName, const std::string& text);
    static BOOL FitsRegString(const std::string& text);
    // The longest text FitsRegString takes.
    static size_t MaxRegStringLength();
    BOOL WriteRegDword(HKEY key, const char* valueName, DWORD value);
    // Forgets everything the last load read, before the next one. An adapter that keeps per-load state of its
    // own clears it here, then calls this.
    virtual void ResetLoad();
    // A file-store adapter joins batches here: writes what its WriteAccount staged while InBatch(), each
    // file once, and adds to failed the index of every staged account whose file was not written. The
    // staged edits are dropped either way (also by ResetLoad).
    virtual void WriteStagedStores(std::vector<int>& failed) { (void)failed; }
    // TRUE for an adapter whose WriteAccount stages while InBatch() (it overrides WriteStagedStores).
    virtual BOOL StagesBatchWrites() const { return FALSE; }
    // The load under way; only valid inside LoadClient (DetectClient, EnumerateAccounts, ReadAccount).
    CLoadContext& LoadContext() { return *m_load; }
    // Appends to m_foundFiles every path below directory whose entry name equals fileName (any case); linked
    // folders are entered, each folder once. Within one load a tree is searched for a name once (Mozilla and
    // Netscape search the same profiles).
    void FindFilesRecursive(const std::string& directory, const std::string& fileName);

    std::string m_displayName;
    std::string m_exeName;
    AccountInfo* m_accounts = nullptr;
    int m_accountCount = 0;
    BOOL m_installed = FALSE;
    void LoadIcons() const;
    mutable HICON m_smallIcon = nullptr;
    mutable HICON m_largeIcon = nullptr;
    mutable BOOL m_iconsLoaded = FALSE;
    std::vector<std::string> m_foundFiles;
    std::string m_exePath;
    CLoadContext* m_load = nullptr;

private:
    BOOL LoadWithin();
    // WriteAccount; when it fails because another program holds the store open, the record's reason becomes
    // REASON_FILE_IN_USE (the account stays supported: a later try may succeed).
    BOOL WriteOrTellWhy(int index, EWriteSource source);
    // The journal's entry for record index, when it has a place in a store and an entry.
    BOOL FindJournalEntry(int index, PopSettings& real) const;
    // Before the first write that configures the records: their real settings into the journal, in one
    // rewrite of it (a journal that cannot be written is told of, not a reason to leave them alone: the proxy
    // user name still carries the settings). After they were given back: their entries go.
    BOOL MakeJournalEntry(int index, JournalEntry& entry);
    void JournalOriginals(const std::vector<int>& indexes);
    void RetireJournalEntries(const std::vector<int>& indexes);
    // After a failed write of record index: REASON_FILE_IN_USE when another program holds its store open.
    void TellFileInUse(int index, DWORD error = ERROR_SUCCESS);

    BOOL m_batchOpen = FALSE;
    int m_batchProxyPort = 0;
    BOOL m_batchProxyTls = FALSE;
    std::vector<AccountInfo> m_batchBefore;
    std::vector<int> m_batchJournal;
    std::vector<int> m_batchRetire;
    // TRUE when answer confirms acting on doubtful record index; a declined record is left unsupported.
    BOOL ConfirmDoubtfulAccount(int index, EAccountAction action, CDoubtfulAnswer* answer);
};

// The proxy user name "%s/%s%s%s/%i": real user name, real server, authentication tag, secure tag ("[SSL]",
// "[STLS]"; none for PROXY_SECURE_NONE), real port.
std::string EncodeProxyUserName(const std::string& userName, const std::string& server, int port,
                                int authMode, int secure = PROXY_SECURE_NONE);
// The real settings that a stored user name of the proxy form (it holds a '/') carries: the text before the
// first '/', the server and tags up to the next '/' (SplitProxyServerTags), the port after it (110 without
// one). FALSE, real
// unchanged, for a name without '/'. doubtful tells that the port part is not all digits or gives 0 (the port
// is then 110).
BOOL DecodeProxyUserName(const std::string& stored, PopSettings& real, BOOL& doubtful);

// TRUE for "localhost" and "127.0.0.1" in any letter case.
BOOL IsLocalServer(const std::string& server);
