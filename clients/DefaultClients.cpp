// The adapters that the product puts into the catalogue's slots.
#include "clients/DefaultClients.h"

#include "clients/EudoraClient.h"
#include "clients/IncrediMailClient.h"
#include "clients/MozillaClient.h"
#include "clients/NetscapeClient.h"
#include "clients/Opera7Client.h"
#include "clients/OperaClient.h"
#include "clients/OutlookClient.h"
#include "clients/OutlookExpressClient.h"
#include "clients/OutlookProfilesClient.h"
#include "clients/TheBatClient.h"
#include "clients/ThunderbirdClient.h"
#include "clients/WindowsMailClient.h"
#include "core/ClientCatalogue.h"

#include <new>

CMailClient* CreateDefaultClient(int index)
{
    switch (index) {
    case CLIENT_OUTLOOK_EXPRESS:
        return new (std::nothrow) COutlookExpressClient;
    case CLIENT_OUTLOOK:
        return new (std::nothrow) COutlookClient;
    case CLIENT_INCREDIMAIL:
        return new (std::nothrow) CIncrediMailClient;
    case CLIENT_EUDORA:
        return new (std::nothrow) CEudoraClient;
    case CLIENT_THE_BAT:
        return new (std::nothrow) CTheBatClient;
    case CLIENT_MOZILLA:
        return new (std::nothrow) CMozillaClient;
    case CLIENT_OPERA:
        return new (std::nothrow) COperaClient;
    case CLIENT_OPERA7:
        return new (std::nothrow) COpera7Client;
    case CLIENT_NETSCAPE:
        return new (std::nothrow) CNetscapeClient;
    case CLIENT_THUNDERBIRD:
        return new (std::nothrow) CThunderbirdClient(kThunderbird);
    case CLIENT_SEAMONKEY:
        return new (std::nothrow) CThunderbirdClient(kSeaMonkey);
    case CLIENT_OUTLOOK_PROFILES:
        return new (std::nothrow) COutlookProfilesClient;
    case CLIENT_WINDOWS_LIVE_MAIL:
        return new (std::nothrow) CWindowsMailClient(kWindowsLiveMail);
    case CLIENT_WINDOWS_MAIL:
        return new (std::nothrow) CWindowsMailClient(kWindowsMail);
    default:
        return nullptr;
    }
}
