// COriginalsJournal: the real settings of every account the program configured, kept in a file of their own,
// so that an account can be given back whole even when its proxy user name was changed in the client.
#pragma once

#include "core/AccountInfo.h"

#include <string>
#include <unordered_map>
#include <vector>

// One configured account: where it lives and the settings it had before configuring.
struct JournalEntry
{
    std::string client;   // the adapter's display name
    std::string store;    // CMailClient::LocateAccount's store
    std::string identity; // and the account's identity within it
    PopSettings real;
};

// What the journal met that the user should hear of; the tool and the dialogs word it.
enum EJournalNotice
{
    JOURNAL_SET_ASIDE = 0,   // the file was damaged and was renamed to detail
    JOURNAL_NOT_WRITTEN = 1, // the file at detail could not be written
    JOURNAL_DAMAGED_LOST = 2 // the file at detail was damaged and could not be set aside
};

struct JournalNotice
{
    EJournalNotice kind;
    std::string detail;
};

class COriginalsJournal
{
public:
    // More entries than this are not from one user's accounts: the oldest go first, so the file stays small.
    static constexpr size_t kMaxEntries = 1000;

    // The journal's file; empty turns the journal off (nothing is found, recorded or retired), as in the
    // tests of other parts, which must not share one file.
    void SetPath(const std::string& path);
    // The program's own place: "<application data>\Nimbrel\journal.json". FALSE when that folder is unknown.
    BOOL UseDefaultPath();
    const std::string& Path() const { return m_path; }

    // The entry of an account, read from the file as it is now (as at the first look within a read batch,
    // such as a load); FALSE when there is none.
    BOOL Find(const std::string& client, const std::string& store, const std::string& identity,
              PopSettings& real);
    // Adds the entry (or replaces the one of the same account) and rewrites the file in one step; FALSE when
    // the journal is off or the file could not be written (a notice tells).
    BOOL Record(const JournalEntry& entry) { return RecordAll({entry}); }
    // The same for several accounts in one rewrite of the file (a batch).
    BOOL RecordAll(const std::vector<JournalEntry>& entries);
    // Removes an account's entry and rewrites the file (removes it with the last entry); TRUE when there is
    // none afterwards.
    BOOL Retire(const std::string& client, const std::string& store, const std::string& identity)
    {
        return RetireAll({{client, store, identity, PopSettings()}});
    }
    // The entries of several accounts (their client, store and identity) in one rewrite of the file.
    BOOL RetireAll(const std::vector<JournalEntry>& accounts);
    // The entries as the file holds them now.
    std::vector<JournalEntry> Entries();

    // The notices since the last call.
    std::vector<JournalNotice> TakeNotices();

private:
    // Brings m_entries up to the file; a damaged file is set aside and counts as empty.
    void Refresh();
    void SetAside();
    BOOL Save();
    int IndexOf(const std::string& client, const std::string& store, const std::string& identity) const;
    // Brings m_index up to m_entries, after every change of them.
    void Reindex();

    std::string m_path;
    BOOL m_read = FALSE;
    // The read batch of the last look at the file, and the count of file writes then.
    unsigned long m_readBatch = 0;
    unsigned long m_readWrites = 0;
    std::string m_bytes; // the file as last read or written, so that an unchanged file is not parsed again
    std::vector<JournalEntry> m_entries;
    // Each account's place in m_entries: a load asks for every account, and a journal holds a thousand.
    std::unordered_map<std::string, size_t> m_index;
    std::vector<JournalNotice> m_notices;
};

// The file's form, apart for the fuzz target and the tests. FALSE (entries unchanged) for a document that
// is not a journal; an empty text is an empty journal.
BOOL ParseJournal(const std::string& bytes, std::vector<JournalEntry>& entries);
std::string SerializeJournal(const std::vector<JournalEntry>& entries);

// The program's one journal; off until the program names its file.
extern COriginalsJournal g_originalsJournal;
