// CProductSettings: the package's installation folder and the proxy's port, from the package's registry key.
#include "settings/ProductSettings.h"

#include "Environment.h"
#include "ReadBatch.h"
#include "RegKey.h"

CProductSettings g_productSettings;

namespace {

// The installation folder value may be of any string type; 2048 bytes is the room the package leaves for it.
const DWORD kInstallDirLimit = 2048;

} // namespace

std::string ProgramFolderFromCommandLine(const std::string& commandLine)
{
    std::string program;
    if (!commandLine.empty() && commandLine[0] == '"') {
        size_t close = commandLine.find('"', 1);
        if (close != std::string::npos)
            program = commandLine.substr(1, close - 1);
    } else {
        program = commandLine.substr(0, commandLine.find(' '));
    }
    size_t lastBackslash = program.rfind('\\');
    return lastBackslash == std::string::npos ? std::string() : program.substr(0, lastBackslash + 1);
}

int CProductSettings::Load()
{
    std::string folder;
    plat::CRegKey key;
    BOOL found =
        key.Open(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, KEY_READ) == ERROR_SUCCESS &&
        key.QueryString(NIMBREL_INSTALL_DIR_VALUE, folder, kInstallDirLimit, nullptr, TRUE) == ERROR_SUCCESS;
    key.Close();
    // The text file is looked for by gluing its name to this folder, so it must end with a separator.
    if (found && !folder.empty() && folder.back() != '\\' && folder.back() != '/')
        folder += '\\';
    m_installDir = found ? folder : ProgramFolderFromCommandLine(plat::CommandLineText());
    m_proxyPort = 110;
    return GetProxyPort();
}

int CProductSettings::GetProxyPort()
{
    // Within a read batch (a load, which asks for every account) the key is read once.
    const unsigned long batch = plat::ReadBatchId();
    if (batch != 0 && batch == m_portBatch)
        return m_proxyPort;
    m_portBatch = batch;
    plat::CRegKey key;
    DWORD port = 0;
    if (key.Open(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, KEY_READ) == ERROR_SUCCESS &&
        key.QueryDword(NIMBREL_PROXY_PORT_VALUE, port) == ERROR_SUCCESS)
        m_proxyPort = static_cast<int>(port);
    return m_proxyPort;
}

BOOL CProductSettings::ProxySpeaksTls() const
{
    const unsigned long batch = plat::ReadBatchId();
    if (batch != 0 && batch == m_tlsBatch)
        return m_speaksTls;
    plat::CRegKey key;
    DWORD speaks = 0;
    m_speaksTls = key.Open(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, KEY_READ) == ERROR_SUCCESS &&
                          key.QueryDword(NIMBREL_PROXY_TLS_VALUE, speaks) == ERROR_SUCCESS && speaks != 0
                      ? TRUE
                      : FALSE;
    m_tlsBatch = batch;
    return m_speaksTls;
}
