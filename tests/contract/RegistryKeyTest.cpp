// Contract of the registry key calls: opening, views, removal and enumeration.
#include "Registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const kBase = "Software\\NimbrelContract";
const char* const kKeys = "Software\\NimbrelContract\\Keys";
const DWORD kSentinel = 0xDEADBEEF;

class RegistryKeyTest : public ::testing::Test
{
protected:
    void SetUp() override { plat::RegRemoveTree(HKEY_CURRENT_USER, kKeys); }
    void TearDown() override
    {
        plat::RegRemoveTree(HKEY_CURRENT_USER, kKeys);
        plat::RegRemoveTree(HKEY_CURRENT_USER, kBase);
    }
};

HKEY CreateKey(HKEY root, const std::string& path, REGSAM access = KEY_ALL_ACCESS)
{
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, plat::RegCreate(root, path.c_str(), access, &key)) << path;
    return key;
}

void SetString(HKEY key, const char* name, const char* text)
{
    EXPECT_EQ(ERROR_SUCCESS, plat::RegWrite(key, name, REG_SZ, text, static_cast<DWORD>(strlen(text) + 1)));
}

TEST_F(RegistryKeyTest, OpenCreateAndRemove)
{
    HKEY key = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0xDEADBEEF));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              plat::RegOpen(HKEY_CURRENT_USER, "Software\\NimbrelContract\\Keys\\A", KEY_READ, &key));

    HKEY created = CreateKey(HKEY_CURRENT_USER, "Software\\NimbrelContract\\Keys\\A\\B\\C");
    ASSERT_NE(nullptr, created);
    SetString(created, "v", "1");
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(created));

    // Names match without regard to case, and a key opens relative to another.
    HKEY parent = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              plat::RegOpen(HKEY_CURRENT_USER, "SOFTWARE\\nimbrelcontract\\KEYS\\a", KEY_READ, &parent));
    HKEY child = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(parent, "b\\c", KEY_READ, &child));
    char buffer[4];
    DWORD size = sizeof(buffer);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegQuery(child, "V", nullptr, buffer, &size));
    EXPECT_STREQ("1", buffer);

    // Removal takes everything below; handles still open see a deleted key.
    EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CURRENT_USER, "Software\\NimbrelContract\\Keys\\A"));
    size = sizeof(buffer);
    EXPECT_EQ(ERROR_KEY_DELETED, plat::RegQuery(child, "v", nullptr, buffer, &size));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(child));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(parent));

    key = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0xDEADBEEF));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              plat::RegOpen(HKEY_CURRENT_USER, "Software\\NimbrelContract\\Keys\\A", KEY_READ, &key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              plat::RegRemoveTree(HKEY_CURRENT_USER, "Software\\NimbrelContract\\Keys\\A"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              plat::RegRemoveTree(HKEY_CURRENT_USER, "Software\\NimbrelContract\\Keys\\A"));

    // An empty path would remove the root's whole content: refused.
    EXPECT_EQ(ERROR_INVALID_PARAMETER, plat::RegRemoveTree(HKEY_CURRENT_USER, ""));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, plat::RegRemoveTree(HKEY_CURRENT_USER, nullptr));
    HKEY software = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, "Software", KEY_READ, &software));
    plat::RegClose(software);
}

// The e-mail clients are 32-bit programs: machine-wide keys are read in the 32-bit view unless asked
// otherwise.
TEST_F(RegistryKeyTest, MachineKeysLiveInThe32BitView)
{
    const char* const only64 = "Software\\NimbrelContract64Only";
    const char* const normal = "Software\\NimbrelContractView";
    plat::RegRemoveTree(HKEY_LOCAL_MACHINE, normal);
    HKEY machine64 = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              plat::RegOpen(HKEY_LOCAL_MACHINE, "Software", KEY_ALL_ACCESS | KEY_WOW64_64KEY, &machine64));
    plat::RegRemoveTree(machine64, "NimbrelContract64Only");

    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, only64, KEY_ALL_ACCESS | KEY_WOW64_64KEY);
    ASSERT_NE(nullptr, key);
    plat::RegClose(key);
    key = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0xDEADBEEF));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, plat::RegOpen(HKEY_LOCAL_MACHINE, only64, KEY_READ, &key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              plat::RegOpen(HKEY_LOCAL_MACHINE, only64, KEY_READ | KEY_WOW64_32KEY, &key));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_LOCAL_MACHINE, only64, KEY_READ | KEY_WOW64_64KEY, &key));
    plat::RegClose(key);

    key = CreateKey(HKEY_LOCAL_MACHINE, normal);
    ASSERT_NE(nullptr, key);
    SetString(key, "where", "32");
    plat::RegClose(key);
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_LOCAL_MACHINE, normal, KEY_READ, &key));
    plat::RegClose(key);
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_LOCAL_MACHINE, normal, KEY_READ | KEY_WOW64_32KEY, &key));
    char buffer[8];
    DWORD size = sizeof(buffer);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegQuery(key, "where", nullptr, buffer, &size));
    EXPECT_STREQ("32", buffer);
    plat::RegClose(key);
    key = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0xDEADBEEF));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              plat::RegOpen(HKEY_LOCAL_MACHINE, normal, KEY_READ | KEY_WOW64_64KEY, &key));

    // Removal honours the view too: the 32-bit key goes, the 64-bit one stays until removed in its own view.
    EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_LOCAL_MACHINE, normal));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, plat::RegOpen(HKEY_LOCAL_MACHINE, normal, KEY_READ, &key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, plat::RegRemoveTree(HKEY_LOCAL_MACHINE, only64));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(machine64, "NimbrelContract64Only"));
    plat::RegClose(machine64);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              plat::RegOpen(HKEY_LOCAL_MACHINE, only64, KEY_READ | KEY_WOW64_64KEY, &key));

    // Classes are seen in the 32-bit view as well.
    key = CreateKey(HKEY_CLASSES_ROOT, "NimbrelContract.View");
    ASSERT_NE(nullptr, key);
    plat::RegClose(key);
    EXPECT_EQ(ERROR_SUCCESS,
              plat::RegOpen(HKEY_CLASSES_ROOT, "NimbrelContract.View", KEY_READ | KEY_WOW64_32KEY, &key));
    plat::RegClose(key);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CLASSES_ROOT, "NimbrelContract.View"));
}

TEST_F(RegistryKeyTest, SubkeysComeSortedWithCounts)
{
    HKEY key = CreateKey(HKEY_CURRENT_USER, kKeys);
    ASSERT_NE(nullptr, key);
    const char* const made[] = {"Zeta", "alpha", "BA", "b_x", "Identities", "x"};
    for (const char* name : made)
        plat::RegClose(CreateKey(key, name));

    DWORD count = kSentinel, longest = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, plat::RegCountSubkeys(key, &count, &longest));
    EXPECT_EQ(6u, count);
    EXPECT_EQ(10u, longest);

    // Wine sorts subkeys by their lower-case names, so "_" comes before the letters; Windows compares the
    // upper-case names and would give "BA" before "b_x".
    const char* const expected[] = {"alpha", "b_x", "BA", "Identities", "x", "Zeta"};
    for (DWORD i = 0; i < 6; ++i) {
        char name[32];
        memset(name, 0xBD, sizeof(name));
        DWORD length = sizeof(name);
        ASSERT_EQ(ERROR_SUCCESS, plat::RegSubkeyName(key, i, name, &length)) << "index " << i;
        EXPECT_STREQ(expected[i], name) << "index " << i;
        EXPECT_EQ(strlen(expected[i]), length) << "index " << i;
        EXPECT_EQ('\xBD', name[length + 1]) << "index " << i;
    }
    char name[8];
    memset(name, 0xBD, sizeof(name));
    DWORD length = 6;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, plat::RegSubkeyName(key, 6, name, &length));
    EXPECT_EQ(6u, length);

    // "Identities" needs 11 characters with its NUL: 10 is too few, and nothing is written.
    length = 10;
    EXPECT_EQ(ERROR_MORE_DATA, plat::RegSubkeyName(key, 3, name, &length));
    EXPECT_EQ(10u, length);
    EXPECT_EQ('\xBD', name[0]);

    HKEY empty = CreateKey(key, "x");
    count = kSentinel;
    longest = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, plat::RegCountSubkeys(empty, &count, &longest));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(0u, longest);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegCountSubkeys(empty, nullptr, nullptr));
    plat::RegClose(empty);

    // Enumeration needs the right to it.
    HKEY queryOnly = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, kKeys, KEY_QUERY_VALUE, &queryOnly));
    length = sizeof(name);
    EXPECT_EQ(ERROR_ACCESS_DENIED, plat::RegSubkeyName(queryOnly, 0, name, &length));
    plat::RegClose(queryOnly);
    plat::RegClose(key);
}

// Windows keeps values in the order they were set; Wine 8 keeps them sorted by lower-case name, like subkeys.
TEST_F(RegistryKeyTest, ValuesEnumerateSortedByName)
{
    HKEY key = CreateKey(HKEY_CURRENT_USER, kKeys);
    ASSERT_NE(nullptr, key);
    SetString(key, "Zulu", "z");
    SetString(key, "a_b", "1");
    SetString(key, "AB", "2");
    DWORD number = 7;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(key, "mid", REG_DWORD, &number, 4));
    SetString(key, "foobar", "foobar");

    const char* const expected[] = {"a_b", "AB", "foobar", "mid", "Zulu"};
    for (DWORD i = 0; i < 5; ++i) {
        char name[16];
        DWORD length = sizeof(name);
        ASSERT_EQ(ERROR_SUCCESS, plat::RegValueAt(key, i, name, &length, nullptr, nullptr, nullptr))
            << "index " << i;
        EXPECT_STREQ(expected[i], name) << "index " << i;
    }

    char name[16];
    memset(name, 0xBD, sizeof(name));
    unsigned char data[16];
    memset(data, 0xBD, sizeof(data));
    DWORD length = sizeof(name), type = kSentinel, size = sizeof(data);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegValueAt(key, 2, name, &length, &type, data, &size));
    EXPECT_STREQ("foobar", name);
    EXPECT_EQ(6u, length);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(7u, size);
    EXPECT_EQ(0, memcmp(data, "foobar", 7));
    EXPECT_EQ(0xBD, data[7]);

    // Data too small: the full size with its NUL comes back.
    memset(name, 0xBD, sizeof(name));
    memset(data, 0xBD, sizeof(data));
    length = sizeof(name);
    type = kSentinel;
    size = 3;
    EXPECT_EQ(ERROR_MORE_DATA, plat::RegValueAt(key, 2, name, &length, &type, data, &size));
    EXPECT_EQ(7u, size);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(0xBD, data[0]);

    memset(name, 0xBD, sizeof(name));
    length = sizeof(name);
    type = kSentinel;
    size = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, plat::RegValueAt(key, 3, name, &length, &type, nullptr, &size));
    EXPECT_STREQ("mid", name);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(4u, size);

    // A name that does not fit ("foobar" needs 7 with its NUL): Wine cuts it and still gives the data.
    memset(name, 0xBD, sizeof(name));
    memset(data, 0xBD, sizeof(data));
    length = 6;
    type = kSentinel;
    size = sizeof(data);
    EXPECT_EQ(ERROR_MORE_DATA, plat::RegValueAt(key, 2, name, &length, &type, data, &size));
    EXPECT_EQ(6u, length);
    EXPECT_EQ(std::string("fooba\0\xBD", 7), std::string(name, 7));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(7u, size);
    EXPECT_EQ(std::string("foobar\0\xBD", 8), std::string(reinterpret_cast<char*>(data), 8));

    length = sizeof(name);
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, plat::RegValueAt(key, 5, name, &length, nullptr, nullptr, nullptr));
    plat::RegClose(key);
}

// How callers may spell a path: a trailing or doubled backslash is harmless, a leading one is refused, and
// '/' is part of a name.
TEST_F(RegistryKeyTest, PathSpellings)
{
    HKEY key = CreateKey(HKEY_CURRENT_USER, "Software\\NimbrelContract\\Keys\\Path");
    ASSERT_NE(nullptr, key);
    plat::RegClose(key);
    struct Row
    {
        const char* path;
        LONG result;
    };
    const Row rows[] = {
        {"Software\\NimbrelContract\\Keys\\Path\\", ERROR_SUCCESS},
        {"Software\\\\NimbrelContract\\Keys\\Path", ERROR_SUCCESS},
        {"\\Software\\NimbrelContract\\Keys\\Path", ERROR_BAD_PATHNAME},
        {"Software/NimbrelContract/Keys/Path", ERROR_FILE_NOT_FOUND},
        {"", ERROR_SUCCESS},
        {nullptr, ERROR_SUCCESS},
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        key = nullptr;
        LONG result = plat::RegOpen(HKEY_CURRENT_USER, rows[i].path, KEY_READ, &key);
        EXPECT_EQ(rows[i].result, result) << "row " << i;
        if (result == ERROR_SUCCESS)
            plat::RegClose(key);
    }
}

TEST_F(RegistryKeyTest, InvalidHandlesAndArguments)
{
    HKEY key = CreateKey(HKEY_CURRENT_USER, kKeys);
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(ERROR_INVALID_PARAMETER, plat::RegOpen(HKEY_CURRENT_USER, kKeys, KEY_READ, nullptr));
    char buffer[4];
    EXPECT_EQ(ERROR_INVALID_PARAMETER, plat::RegQuery(key, "x", nullptr, buffer, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(key));
    EXPECT_EQ(ERROR_INVALID_HANDLE, plat::RegClose(key));
}

} // namespace
