// CThunderbirdClient: Thunderbird and SeaMonkey, whose profiles are listed in a "profiles.ini" and whose
// accounts sit in each profile's "prefs.js" as Mozilla's do. One class; the two differ in their key, folder
// and program.
#pragma once

#include "clients/MozillaClient.h"
#include "clients/MozillaPrefsFile.h"

#include <string>
#include <vector>

struct ThunderbirdKind
{
    const char* displayName;
    const char* registryKey; // below HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER, in either view
    const char* folderName;  // below the application-data folder, where profiles.ini lies
    const char* exeName;
};

extern const ThunderbirdKind kThunderbird;
extern const ThunderbirdKind kSeaMonkey;

class CThunderbirdClient : public CMozillaClient
{
public:
    explicit CThunderbirdClient(const ThunderbirdKind& kind);
    ~CThunderbirdClient() override = default;

    BOOL DetectClient() override;
    int EnumerateAccounts() override;
    BOOL ReadAccount(int index) override;
    BOOL LocateAccount(int index, std::string& store, std::string& identity) const override;
    // A running client holds its profile's "parent.lock" open.
    BOOL IsStoreInUse() const override;

    // The folder of profiles.ini.
    const std::string& ProfilesFolder() const { return m_profilesFolder; }

protected:
    void ResetLoad() override;
    // Thunderbird's edits write the real names, and the SPA method where the account had it.
    BOOL MakeWrite(int index, EWriteSource source, MozillaStagedWrite& write) override;
    void KeepWrittenLines(const CMozillaPrefsWriter& writer, const CMozillaPrefsFile& file,
                          const MozillaStagedWrite& write, size_t firstEdit) override;

private:
    // The settings this client has beyond Mozilla's, as read: the line and text of each (-1 when absent).
    struct ServerLine
    {
        int line = -1;
        std::string text;
    };
    struct ServerExtras
    {
        ServerLine realHostname;
        ServerLine realUserName;
        ServerLine authMethod;
        std::string hostname; // the values the real ones stand in for
        std::string userName;
    };

    void FindProfiles();
    // Drops the records that are no accounts at all (local folders, news, feeds) and keeps each account's
    // first identity only.
    void KeepMailServers();
    // The line of key as it stands now, or none.
    void ReadServerLine(const CMozillaPrefsFile& file, const std::string& key, ServerLine& line) const;
    BOOL IsFixedByUserJs(const MozillaAccountRef& ref) const;
    // The edit that makes the real setting named say value: its line goes when value is the plain setting's.
    CMozillaPrefsWriter::Edit RealEdit(const MozillaAccountRef& ref, const char* setting,
                                       const ServerLine& line, const std::string& value,
                                       const std::string& plain) const;

    const ThunderbirdKind& m_kind;
    std::string m_profilesFolder;
    // Paired with m_foundFiles: each profile's user.js, as no lines when it has none.
    std::vector<CMozillaPrefsFile> m_userJs;
    // Paired with m_accountRefs.
    std::vector<ServerExtras> m_extras;
};
