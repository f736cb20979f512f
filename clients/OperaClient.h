// COperaClient: Opera's mail accounts, one "account.ini" per account, listed by the mail folder's
// "accounts.ini".
#pragma once

#include "clients/OperaIniFile.h"
#include "core/MailClient.h"

#include <map>
#include <string>
#include <vector>

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
    // Writes the values WriteChecked staged during a batch, each file once.
    void WriteStagedStores(std::vector<int>& failed) override;
    BOOL StagesBatchWrites() const override { return TRUE; }

    // Name of the value under HKCU "Software\Opera Software" that holds Opera's last command line.
    std::string m_commandLineValue;

private:
    // One account's values of a batch, in the file its section is in.
    struct StagedWrite
    {
        int index;
        COperaIniFile::Entries values;
    };
    // What was written is what the next write of account index expects.
    void KeepWritten(int index, const COperaIniFile::Entries& values);

    std::vector<COperaIniFile::Entries> m_readEntries;
    std::map<std::string, std::vector<StagedWrite>> m_staged; // by file path
};
