// COutlookClient: Outlook's Internet accounts, stored as Outlook Express stores them, found through Office.
#pragma once

#include "clients/OutlookExpressClient.h"

class COutlookClient : public COutlookExpressClient
{
public:
    COutlookClient();

    BOOL DetectClient() override;
};
