// CAbsentClient: holds a catalogue slot whose client this build cannot find; it never counts as installed.
#pragma once

#include "core/MailClient.h"

class CAbsentClient : public CMailClient
{
public:
    CAbsentClient(const char* displayName, const char* exeName)
    {
        m_displayName = displayName;
        m_exeName = exeName;
    }
    BOOL DetectClient() override { return FALSE; }
};
