// COpera7Client: Opera 7's mail accounts, all in one "accounts.ini" in the user's application-data folder.
#pragma once

#include "clients/OperaClient.h"

#include <string>

class COpera7Client : public COperaClient
{
public:
    COpera7Client();
    ~COpera7Client() override = default;

    void ResetLoad() override;

    int EnumerateAccounts() override;
    BOOL WriteAccount(int index, EWriteSource source) override;
    BOOL ReadAccount(int index) override;
    BOOL LocateAccount(int index, std::string& store, std::string& identity) const override;

    const std::string& AccountsIniPath() const { return m_accountsIniPath; }

protected:
    std::string m_accountsIniPath;
};
