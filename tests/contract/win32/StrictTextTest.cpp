// The win32 backend's edge with Windows: bytes that are not UTF-8 are refused, never passed on as the ANSI
// code page would read them.
#include "contract/ContractFolder.h"

#include "Files.h"
#include "Profile.h"
#include "Registry.h"
#include "fixtures/UnicodeNames.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using StrictTextTest = contract::CFolderTest;

TEST_F(StrictTextTest, InvalidUtf8IsRefused)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              plat::RegCreate(HKEY_CURRENT_USER, "Software\\NimbrelContractStrict", KEY_ALL_ACCESS, &key));
    EXPECT_EQ(ERROR_NO_UNICODE_TRANSLATION, plat::RegWrite(key, "cut", REG_SZ, "Zo\xC3", 4));
    EXPECT_EQ(ERROR_NO_UNICODE_TRANSLATION, plat::RegWrite(key, "Zo\xEB", REG_SZ, "x", 2));
    DWORD size = 0;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, plat::RegQuery(key, "cut", nullptr, nullptr, &size));
    plat::RegClose(key);
    plat::RegRemoveTree(HKEY_CURRENT_USER, "Software\\NimbrelContractStrict");
    EXPECT_FALSE(plat::PathExists((m_folder + "Zo\xEB").c_str()));
    EXPECT_FALSE(plat::CreateFolder((m_folder + "Zo\xEB").c_str()));
}

} // namespace
