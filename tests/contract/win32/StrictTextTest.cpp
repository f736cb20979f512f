// The win32 backend's edge with Windows: bytes that are not UTF-8 are refused, never passed on as the ANSI
// code page would read them, and a profile file keeps its code page: what it cannot hold is not written.
#include "contract/ContractFolder.h"

#include "Files.h"
#include "Profile.h"
#include "Registry.h"
#include "fixtures/UnicodeNames.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using StrictTextTest = contract::CFolderTest;

TEST_F(StrictTextTest, InvalidUtf8AndUnfitCodePageAreRefused)
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

    // The file is in the ANSI code page (1252 here): "Zoë" fits and is kept as its one byte, "Łukasz" and the
    // others do not and leave the file as it was.
    const std::string file = m_folder + "store.ini";
    ASSERT_TRUE(contract::WriteTestFile(file, "[Account]\r\nUser=Zo\xEB\r\n"));
    char buffer[64];
    EXPECT_EQ(4u, plat::ProfileGetString("Account", "User", "", buffer, sizeof(buffer), file.c_str()));
    EXPECT_EQ(std::string(kUnicodeNames[2]), buffer);
    for (const char* name : {kUnicodeNames[0], kUnicodeNames[1], kUnicodeNames[3]}) {
        DWORD error = 0;
        EXPECT_FALSE(plat::ProfileWriteString("Account", "User", name, file.c_str(), &error)) << name;
        EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), error);
    }
    EXPECT_EQ("[Account]\r\nUser=Zo\xEB\r\n", contract::Content(file));
    ASSERT_TRUE(plat::ProfileWriteString("Account", "User",
                                         (std::string(kUnicodeNames[2]) + "/pop/110").c_str(), file.c_str()));
    EXPECT_EQ("[Account]\r\nUser=Zo\xEB/pop/110\r\n", contract::Content(file));
}

} // namespace
