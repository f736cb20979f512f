// CNetscapeClient: Netscape Navigator, found through its own registry key, with Mozilla's profiles and
// accounts.
#include "clients/NetscapeClient.h"

CNetscapeClient::CNetscapeClient()
{
    // The excluded word stays "netscape": below Netscape's own key only version subkeys lead to the program.
    m_displayName = "Netscape Navigator";
    m_exeKeySuffix = "\\Main";
    m_registryKey = "Software\\Netscape\\Netscape";
}
