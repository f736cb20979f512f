// The Opera and Opera 7 tests' user: Opera's registry key, a program folder, the application-data folder's
// Opera folder and the proxy port, all removed afterwards.
#pragma once

#include "support/ClientChecks.h"
#include "support/TestScopes.h"

#include "core/MailClient.h"
#include "Environment.h"
#include "Files.h"
#include "fixtures/SampleStores.h"
#include "fixtures/SampleWriter.h"
#include "Profile.h"

#include <gtest/gtest.h>

#include <string>

class OperaFixture : public ::testing::Test
{
protected:
    OperaFixture() : m_registry({{HKEY_CURRENT_USER, "Software\\Opera Software"}}), m_port(110)
    {
        plat::AppDataFolder(m_appData);
        m_operaAppData = JoinPath(m_appData, "Opera");
        plat::RemoveFolderTree(m_operaAppData.c_str());
        m_context.root = m_folder.Path();
        m_context.appData = m_appData;
        m_context.proxyPort = 110;
    }
    ~OperaFixture() override { plat::RemoveFolderTree(m_operaAppData.c_str()); }

    // Every key and value of a section as the profile functions list them.
    static std::string SectionText(const std::string& path, const char* section)
    {
        std::string buffer(65536, '\0');
        DWORD length =
            plat::ProfileGetSection(section, &buffer[0], static_cast<DWORD>(buffer.size()), path.c_str());
        return buffer.substr(0, length);
    }
    static std::string Value(const std::string& path, const char* section, const char* key)
    {
        std::string buffer(65536, '\0');
        DWORD length = plat::ProfileGetString(section, key, "<missing>", &buffer[0],
                                              static_cast<DWORD>(buffer.size()), path.c_str());
        return buffer.substr(0, length);
    }

    CRegistryScope m_registry;
    CProxyPortScope m_port;
    CTestFolder m_folder;
    std::string m_appData;
    std::string m_operaAppData;
    SampleContext m_context;
};
