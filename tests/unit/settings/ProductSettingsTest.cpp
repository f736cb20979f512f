// Product settings: the installation folder from the package key or the command line, the live proxy port.
#include "support/TestScopes.h"

#include "ReadBatch.h"
#include "RegKey.h"
#include "settings/ProductSettings.h"

#include <gtest/gtest.h>

TEST(ProductSettings, ProgramFolderFromCommandLine)
{
    struct Row
    {
        const char* commandLine;
        const char* folder;
    };
    const Row rows[] = {
        {"\"C:\\Tools\\prog.exe\" /install", "C:\\Tools\\"},
        {"C:\\Tools\\prog.exe /install", "C:\\Tools\\"},
        {"C:\\Program Files\\Tool\\prog.exe", "C:\\"},
        {"\"C:\\Tools\\prog.exe", ""}, // no closing quote
        {"prog.exe /uninstall", ""},
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i)
        EXPECT_EQ(rows[i].folder, ProgramFolderFromCommandLine(rows[i].commandLine)) << "row " << i;
}

TEST(ProductSettings, InstallDirAndPortComeFromThePackageKey)
{
    CRegistryScope scope({{HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY}});
    CProductSettings settings;
    {
        plat::CRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, KEY_ALL_ACCESS));
        // Any string type is taken; the missing backslash is added so the text file is found inside.
        ASSERT_EQ(ERROR_SUCCESS,
                  plat::RegWrite(key.Get(), NIMBREL_INSTALL_DIR_VALUE, REG_EXPAND_SZ, "C:\\Nimbrel", 11));
        ASSERT_EQ(ERROR_SUCCESS, key.SetDword(NIMBREL_PROXY_PORT_VALUE, 8110));
    }
    EXPECT_EQ(8110, settings.Load());
    EXPECT_EQ("C:\\Nimbrel\\", settings.InstallDir());

    plat::CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, KEY_ALL_ACCESS));
    // A port stored with another size is ignored: the last DWORD read stays.
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(key.Get(), NIMBREL_PROXY_PORT_VALUE, REG_DWORD, "\x01\x02", 2));
    EXPECT_EQ(8110, settings.GetProxyPort());
    ASSERT_EQ(ERROR_SUCCESS, key.SetDword(NIMBREL_PROXY_PORT_VALUE, 70000));
    EXPECT_EQ(70000, settings.GetProxyPort());
    EXPECT_EQ(70000, settings.ProxyPort());

    // Load starts from 110 again when the value is gone.
    ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveValue(key.Get(), NIMBREL_PROXY_PORT_VALUE));
    EXPECT_EQ(110, settings.Load());
    key.Close();
    ASSERT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY));
    EXPECT_EQ(110, settings.GetProxyPort());
}

// Within a read batch (a load, which asks for every account) the package's key is read once, even when it is
// missing; outside one, every call reads it again.
TEST(ProductSettings, AReadBatchReadsTheKeyOnce)
{
    CRegistryScope scope({{HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY}});
    CProductSettings settings;
    plat::RegRemoveTree(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY);
    plat::CRegKey key;
    {
        plat::CReadBatch batch;
        EXPECT_EQ(110, settings.GetProxyPort());
        EXPECT_FALSE(settings.ProxySpeaksTls());
        ASSERT_EQ(ERROR_SUCCESS, key.Create(HKEY_CURRENT_USER, NIMBREL_PACKAGE_KEY, KEY_ALL_ACCESS));
        ASSERT_EQ(ERROR_SUCCESS, key.SetDword(NIMBREL_PROXY_PORT_VALUE, 8110));
        ASSERT_EQ(ERROR_SUCCESS, key.SetDword(NIMBREL_PROXY_TLS_VALUE, 1));
        EXPECT_EQ(110, settings.GetProxyPort());
        EXPECT_FALSE(settings.ProxySpeaksTls());
    }
    EXPECT_EQ(8110, settings.GetProxyPort());
    EXPECT_TRUE(settings.ProxySpeaksTls());
    ASSERT_EQ(ERROR_SUCCESS, key.SetDword(NIMBREL_PROXY_PORT_VALUE, 8111));
    EXPECT_EQ(8111, settings.GetProxyPort());
    plat::CReadBatch next;
    EXPECT_EQ(8111, settings.GetProxyPort());
    EXPECT_TRUE(settings.ProxySpeaksTls());
}
