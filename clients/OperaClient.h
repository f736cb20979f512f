// COperaClient: Opera's mail accounts, one "account.ini" per account, listed by the mail folder's
// "accounts.ini".
#pragma once

#include "clients/OperaIniFile.h"
#include "core/MailClient.h"

#include <string>

class COperaClient : public CMailClient
{
public:
    COperaClient();
    ~COperaClient() override = default;

    void ResetLoad() override;

    int EnumerateAccounts() override;
    BOOL DetectClient() override;
    BOOL WriteAccount(int index, EWriteSource source) override;
    BOOL ReadAccount(int index) override;
    BOOL LocateAccount(int index, std::string& store, std::string& identity) const override;
    size_t MaxUserNameLength() const override { return COperaIniFile::LongestValue(); }

    // The program's path in a recorded command line: without its switches, trailing blanks and quotes.
    static std::string ExePathFromCommandLine(const std::string& commandLine);

    // The account files found, entry i for account record i.
    const std::vector<std::string>& FoundFiles() const { return m_foundFiles; }

protected:
    // Sets values in section of the file at path, only while the file holds what account index was read
    // from (see KeepRead); what was written is then what the next write expects.
    BOOL WriteChecked(const std::string& path, int index, const char* section,
                      const std::vector<std::pair<std::string, std::string>>& values);
    void KeepRead(int index, COperaIniFile::Entries entries);

    // Name of the value under HKCU "Software\Opera Software" that holds Opera's last command line.
    std::string m_commandLineValue;

private:
    std::vector<COperaIniFile::Entries> m_readEntries;
};
