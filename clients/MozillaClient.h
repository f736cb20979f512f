// CMozillaClient: Mozilla's POP3 accounts, read from and written to the "prefs.js" of each user profile.
#pragma once

#include "clients/MozillaPrefsFile.h"
#include "clients/MozillaPrefsWriter.h"
#include "core/MailClient.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// Where one account of a profile stands: its ids and the lines of its settings (-1 until found).
struct MozillaAccountRef
{
    int fileIndex = -1;
    std::string accountKey;
    std::string identityKey;
    std::string serverKey;
    int nameLine = -1;
    int emailLine = -1;
    int userNameLine = -1;
    int hostnameLine = -1;
    int portLine = -1;
    int typeLine = -1;
    // The secure setting in force: "socketType", or "isSecure" in old profiles; empty when neither is set.
    std::string secureName;
    int secure = PROXY_SECURE_NONE; // as the file holds it now
    int secureLine = -1;
    std::string secureText;
    // The setting lines as read; a write expects to find them still so (or already as it wants them).
    std::string userNameText;
    std::string hostnameText;
    std::string portText;
};

// One account's edit of its prefs.js, made by WriteAccount and written with the others of the same file.
struct MozillaStagedWrite
{
    int index = -1;
    std::vector<CMozillaPrefsWriter::Edit> edits; // in the adapter's order: see its MakeWrite
    BOOL writeSecure = FALSE;
    int secureAfter = PROXY_SECURE_NONE;
    std::string secureName;
};

class CMozillaClient : public CMailClient
{
public:
    CMozillaClient();
    ~CMozillaClient() override;

    void ResetLoad() override;

    int EnumerateAccounts() override;
    BOOL DetectClient() override;
    BOOL WriteAccount(int index, EWriteSource source) override;
    BOOL ReadAccount(int index) override;
    BOOL LocateAccount(int index, std::string& store, std::string& identity) const override;

    // For callers that show or check where an account lives; null when the index is out of range.
    const MozillaAccountRef* AccountRef(int index) const;
    const std::vector<std::string>& FoundFiles() const { return m_foundFiles; }

protected:
    void WriteStagedStores(std::vector<int>& failed) override;
    BOOL StagesBatchWrites() const override { return TRUE; }
    // The edits that write record index's source settings; FALSE when the record has no place to write.
    virtual BOOL MakeWrite(int index, EWriteSource source, MozillaStagedWrite& write);
    // After a write of the file: record write.index's kept lines as they now stand; its edits are the
    // writer's from firstEdit on.
    virtual void KeepWrittenLines(const CMozillaPrefsWriter& writer, const CMozillaPrefsFile& file,
                                  const MozillaStagedWrite& write, size_t firstEdit);
    // Writes the edits of one profile's file in one replacement; on success the records' kept lines are
    // those written.
    BOOL WritePrefsFile(int fileIndex, const std::vector<MozillaStagedWrite>& writes);
    void ParsePrefsFile(int fileIndex);
    // The string value of key in a profile's file, and its line; FALSE when missing or not whole.
    BOOL ReadStringSetting(const CMozillaPrefsFile& file, const std::string& key, std::string& value,
                           int& line) const;
    // Fills the kind of secure connection and its stored form; FALSE when the setting holds no known value.
    BOOL ReadSecureSetting(const CMozillaPrefsFile& file, MozillaAccountRef& ref,
                           PopSettings& settings) const;
    // The edit of an account's secure setting for a write of settings from source, of an account whose
    // original had one on: off towards the proxy, back as stored (or the usual value) when giving back.
    // secureName is the setting written ("socketType" or "isSecure").
    void MakeSecureEdit(const MozillaAccountRef& ref, const PopSettings& settings, EWriteSource source,
                        CMozillaPrefsWriter::Edit& secure, std::string& secureName) const;
    // The edit that writes port, with no line of its own when it is the default for secure.
    CMozillaPrefsWriter::Edit MakePortEdit(const MozillaAccountRef& ref, int port, int secure) const;

    std::vector<std::string> m_excludedKeyWords;
    std::string m_exeKeySuffix;
    std::string m_registryKey;
    std::vector<MozillaAccountRef> m_accountRefs;
    // Paired with m_foundFiles; shared with another adapter that read the same bytes, until a write.
    std::vector<std::shared_ptr<CMozillaPrefsFile>> m_prefsFiles;
    // The edits of an open batch, by file index.
    std::map<int, std::vector<MozillaStagedWrite>> m_staged;
};
