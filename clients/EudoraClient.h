// CEudoraClient: the adapter for Eudora, whose one account lives in section "Settings" of its settings file.
#pragma once

#include "core/MailClient.h"

#include <string>

class CEudoraClient : public CMailClient
{
public:
    CEudoraClient();
    ~CEudoraClient() override;

    BOOL DetectClient() override;
    void ResetLoad() override;
    int EnumerateAccounts() override;
    BOOL ReadAccount(int index) override;
    size_t MaxUserNameLength() const override;
    BOOL WriteAccount(int index, EWriteSource source) override;
    BOOL LocateAccount(int index, std::string& store, std::string& identity) const override;

    const std::string& IniPath() const { return m_iniPath; }

private:
    // One value of section "Settings" of the settings file (or of the file at path), taken whole however long
    // it is; FALSE when it would be cut.
    BOOL ReadSetting(const char* key, std::string& value) const;
    static BOOL ReadSettingFrom(const std::string& path, const char* key, std::string& value);
    BOOL ReadPopSettings(AccountInfo& account);
    // Applies the account's keys to a copy of the settings file and puts the copy in its place.
    BOOL WriteSettingsFile(const PopSettings& settings);

    std::string m_iniPath;
    std::string m_iniBytes; // the settings file as read, so that a file changed since is not overwritten
};
