// CTheBatClient: the adapter for The Bat!, whose accounts are listed in the registry and kept in account
// files.
#pragma once

#include "core/MailClient.h"

#include <memory>

class CTheBatDepot;

class CTheBatClient : public CMailClient
{
public:
    CTheBatClient();
    ~CTheBatClient() override;

    BOOL DetectClient() override;
    void ResetLoad() override;
    int EnumerateAccounts() override;
    BOOL ReadAccount(int index) override;
    size_t MaxUserNameLength() const override;
    BOOL WriteAccount(int index, EWriteSource source) override;
    BOOL LocateAccount(int index, std::string& store, std::string& identity) const override;

private:
    BOOL ReadPopSettings(int index);

    std::unique_ptr<CTheBatDepot> m_depot;
};
