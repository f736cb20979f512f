// COutlookClient: Outlook's Internet accounts, stored as Outlook Express stores them, found through Office.
#include "clients/OutlookClient.h"

#include "Files.h"
#include "RegKey.h"

#include <string>

COutlookClient::COutlookClient()
{
    m_displayName = "Outlook";
    m_exeName = "outlook.exe";
    m_accountsKeyPath = "Software\\Microsoft\\Office\\Outlook\\OMI Account Manager\\Accounts";
}

BOOL COutlookClient::DetectClient()
{
    // Newest Office first; each version may record the folder under Outlook or under Common.
    for (int version = 12; version >= 7; --version) {
        const std::string office = "Software\\Microsoft\\Office\\" + std::to_string(version) + ".0\\";
        for (const char* part : {"Outlook\\InstallRoot", "Common\\InstallRoot"}) {
            plat::CRegKey key;
            if (key.Open(HKEY_LOCAL_MACHINE, (office + part).c_str(), KEY_READ) != ERROR_SUCCESS)
                continue;
            std::string folder;
            if (key.QueryString("Path", folder, MAX_PATH, nullptr, TRUE) != ERROR_SUCCESS)
                continue;
            // "Path" ends with its own backslash.
            m_exePath = folder + m_exeName;
            if (plat::PathExists(m_exePath.c_str()))
                return TRUE;
        }
    }
    return FALSE;
}
