// CProductSettings: the package's installation folder and the proxy's port, from the package's registry key.
#pragma once

#include "PlatTypes.h"

#include <string>

#define NIMBREL_PACKAGE_KEY "Software\\Tarnwicke\\Nimbrel"
#define NIMBREL_INSTALL_DIR_VALUE "Installation Directory"
#define NIMBREL_PROXY_PORT_VALUE "POP3 proxy uses port"
#define NIMBREL_PROXY_TLS_VALUE "POP3 proxy speaks TLS"

class CProductSettings
{
public:
    CProductSettings() = default;
    virtual ~CProductSettings() = default;

    // Reads the installation folder (or takes the program's own), then the port; returns the port.
    int Load();
    // Reads the port again on every call (once per read batch, as a load is); keeps the last known one when
    // the value is missing or not a DWORD.
    int GetProxyPort();
    // TRUE when the package's key holds a non-zero DWORD "POP3 proxy speaks TLS": the proxy can then reach a
    // real server over SSL or STLS, and accounts with a secure connection can be carried. Read on every call
    // (once per read batch).
    BOOL ProxySpeaksTls() const;

    const std::string& InstallDir() const { return m_installDir; }
    int ProxyPort() const { return m_proxyPort; }

    std::string m_installDir;
    int m_proxyPort = 110;

private:
    // The read batch whose value each holds, 0 for none.
    unsigned long m_portBatch = 0;
    mutable unsigned long m_tlsBatch = 0;
    mutable BOOL m_speaksTls = FALSE;
};

// The folder of the program named first on a command line, with its trailing backslash; empty when none.
std::string ProgramFolderFromCommandLine(const std::string& commandLine);

// The program's one settings object.
extern CProductSettings g_productSettings;
