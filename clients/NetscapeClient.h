// CNetscapeClient: Netscape Navigator, found through its own registry key, with Mozilla's profiles and
// accounts.
#pragma once

#include "clients/MozillaClient.h"

class CNetscapeClient : public CMozillaClient
{
public:
    CNetscapeClient();
    ~CNetscapeClient() override = default;
};
