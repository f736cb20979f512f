// CWindowsMailClient: Windows Live Mail and Windows Mail, which keep each account in an "*.oeaccount" file
// somewhere below their store folder. One class; the two differ only in their key, folder and program.
#pragma once

#include "clients/OeAccountFile.h"
#include "core/MailClient.h"

#include <string>
#include <vector>

struct WindowsMailKind
{
    const char* displayName;
    const char* registryKey; // below HKEY_CURRENT_USER
    const char* folderName;  // below the local application-data folder, when "Store Root" is absent
    const char* exeName;
};

extern const WindowsMailKind kWindowsLiveMail;
extern const WindowsMailKind kWindowsMail;

class CWindowsMailClient : public CMailClient
{
public:
    explicit CWindowsMailClient(const WindowsMailKind& kind);
    ~CWindowsMailClient() override = default;

    BOOL DetectClient() override;
    int EnumerateAccounts() override;
    BOOL ReadAccount(int index) override;
    BOOL WriteAccount(int index, EWriteSource source) override;
    BOOL LocateAccount(int index, std::string& store, std::string& identity) const override;

    const std::string& StoreFolder() const { return m_storeFolder; }

protected:
    void ResetLoad() override;

private:
    // One "*.oeaccount" file that holds a mail account (or could not be read, and is shown refused).
    struct AccountFile
    {
        std::string path;
        BOOL readable = FALSE;
        COeAccountFile file;
        BOOL portAdded = FALSE; // POP3_Port was absent and configuring added it
    };

    BOOL ReadStoreRoot(std::string& folder) const;
    BOOL EditAccount(int index, EWriteSource source, COeAccountFile& file);

    const WindowsMailKind& m_kind;
    std::string m_storeFolder;
    std::vector<AccountFile> m_files;
};
