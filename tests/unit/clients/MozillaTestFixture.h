// The Mozilla and Netscape tests' user: their registry keys, the profile folder and the proxy port, all
// removed afterwards.
#pragma once

#include "support/ClientChecks.h"
#include "support/TestScopes.h"

#include "clients/MozillaPrefsFile.h"
#include "core/MailClient.h"
#include "Environment.h"
#include "Files.h"
#include "fixtures/SampleStores.h"
#include "fixtures/SampleWriter.h"
#include "Prompt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class MozillaFixture : public ::testing::Test
{
protected:
    MozillaFixture()
        : m_registry({{HKEY_CURRENT_USER, "Software\\Mozilla"}, {HKEY_CURRENT_USER, "Software\\Netscape"}}),
          m_port(110)
    {
        plat::AppDataFolder(m_appData);
        m_mozillaFolder = JoinPath(m_appData, "Mozilla");
        plat::RemoveFolderTree(m_mozillaFolder.c_str());
        m_context.root = m_folder.Path();
        m_context.appData = m_appData;
        m_context.proxyPort = 110;
    }
    ~MozillaFixture() override { plat::RemoveFolderTree(m_mozillaFolder.c_str()); }

    std::string ProfileFile(const std::string& profile) const
    {
        return JoinPath(m_mozillaFolder, "Profiles\\" + profile + "\\prefs.js");
    }
    void InstallMozilla()
    {
        ASSERT_TRUE(SampleRegString(HKEY_CURRENT_USER, "Software\\Mozilla\\Mozilla 1.7.13\\bin", "PathToExe",
                                    m_folder / "mozilla.exe"));
    }

    static std::vector<std::string> FileLines(const std::string& path)
    {
        std::vector<std::string> lines;
        CMozillaPrefsFile::SplitLines(FileBytes(path), lines);
        return lines;
    }
    // The record of the account with this name, or -1.
    static int FindAccount(const CMailClient& client, const std::string& name)
    {
        for (int i = 0; i < client.AccountCount(); ++i) {
            AccountInfo info;
            if (client.GetAccount(i, info) && info.name == name)
                return i;
        }
        return -1;
    }
    // Text with Windows line ends.
    static std::string Crlf(const std::string& text)
    {
        std::string out;
        for (char c : text) {
            if (c == '\n')
                out += '\r';
            out += c;
        }
        return out;
    }

    CRegistryScope m_registry;
    CProxyPortScope m_port;
    CTestFolder m_folder;
    std::string m_appData;
    std::string m_mozillaFolder;
    SampleContext m_context;
};
