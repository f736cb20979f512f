// Contract of the registry calls: keys, views, paths and subkey enumeration; values with the exact codes,
// sizes and bytes the Windows functions give.
#include "LastError.h"
#include "RegKey.h"
#include "Registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

namespace {

const char* const kBase = "Software\\NimbrelContract";
const char* const kKey = "Software\\NimbrelContract\\Keys";
const DWORD kSentinel = 0xDEADBEEF;
const DWORD kNoBuffer = kSentinel; // a room that stands for a null data pointer

// Opens and closes again: only the code.
LONG Opens(HKEY root, const char* path, REGSAM access)
{
    HKEY key = nullptr;
    LONG result = plat::RegOpen(root, path, access, &key);
    if (result == ERROR_SUCCESS)
        plat::RegClose(key);
    return result;
}

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

class RegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::RegRemoveTree(HKEY_CURRENT_USER, kBase);
        m_key = CreateKey(HKEY_CURRENT_USER, kKey);
        ASSERT_NE(nullptr, m_key);
    }
    void TearDown() override
    {
        plat::RegClose(m_key);
        plat::RegRemoveTree(HKEY_CURRENT_USER, kBase);
    }
    HKEY m_key = nullptr;
};

TEST_F(RegistryTest, OpenAndCreate)
{
    const char* const a = "Software\\NimbrelContract\\Keys\\A";
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Opens(HKEY_CURRENT_USER, a, KEY_READ));
    HKEY created = CreateKey(HKEY_CURRENT_USER, "Software\\NimbrelContract\\Keys\\A\\B\\C");
    ASSERT_NE(nullptr, created);
    SetString(created, "v", "1");
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(created));

    // How callers may spell a path: names match without regard to case, a trailing or doubled backslash is
    // harmless, a leading one is refused, and '/' is part of a name.
    const std::pair<const char*, LONG> spellings[] = {
        {"SOFTWARE\\nimbrelcontract\\KEYS\\a", ERROR_SUCCESS},
        {"Software\\NimbrelContract\\Keys\\A\\", ERROR_SUCCESS},
        {"Software\\\\NimbrelContract\\Keys\\A", ERROR_SUCCESS},
        {"\\Software\\NimbrelContract\\Keys\\A", ERROR_BAD_PATHNAME},
        {"Software/NimbrelContract/Keys/A", ERROR_FILE_NOT_FOUND},
        {"", ERROR_SUCCESS},
    };
    for (const auto& [path, result] : spellings)
        EXPECT_EQ(result, Opens(HKEY_CURRENT_USER, path, KEY_READ)) << path;

    // A key opens relative to another.
    HKEY parent = nullptr, child = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, a, KEY_READ, &parent));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(parent, "b\\C", KEY_READ, &child));
    char buffer[4];
    DWORD size = sizeof(buffer);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegQuery(child, "V", nullptr, buffer, &size));
    EXPECT_STREQ("1", buffer);

    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(child));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(parent));
}

// The e-mail clients are 32-bit programs: machine-wide keys are read in the 32-bit view unless asked
// otherwise, and removal honours the view too.
TEST(RegistryViews, MachineKeysLiveInThe32BitView)
{
    const char* const only64 = "Software\\NimbrelContract64Only";
    const char* const normal = "Software\\NimbrelContractView";
    const REGSAM read32 = KEY_READ | KEY_WOW64_32KEY, read64 = KEY_READ | KEY_WOW64_64KEY;
    plat::RegRemoveTree(HKEY_LOCAL_MACHINE, normal);
    HKEY machine64 = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              plat::RegOpen(HKEY_LOCAL_MACHINE, "Software", KEY_ALL_ACCESS | KEY_WOW64_64KEY, &machine64));
    plat::RegRemoveTree(machine64, "NimbrelContract64Only");

    HKEY key = CreateKey(HKEY_LOCAL_MACHINE, only64, KEY_ALL_ACCESS | KEY_WOW64_64KEY);
    ASSERT_NE(nullptr, key);
    plat::RegClose(key);
    key = CreateKey(HKEY_LOCAL_MACHINE, normal);
    ASSERT_NE(nullptr, key);
    SetString(key, "where", "32");
    plat::RegClose(key);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Opens(HKEY_LOCAL_MACHINE, only64, KEY_READ));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Opens(HKEY_LOCAL_MACHINE, only64, read32));
    EXPECT_EQ(ERROR_SUCCESS, Opens(HKEY_LOCAL_MACHINE, only64, read64));
    EXPECT_EQ(ERROR_SUCCESS, Opens(HKEY_LOCAL_MACHINE, normal, KEY_READ));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Opens(HKEY_LOCAL_MACHINE, normal, read64));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_LOCAL_MACHINE, normal, read32, &key));
    char buffer[8];
    DWORD size = sizeof(buffer);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegQuery(key, "where", nullptr, buffer, &size));
    EXPECT_STREQ("32", buffer);
    plat::RegClose(key);

    // The 32-bit key goes, the 64-bit one stays until removed in its own view.
    EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_LOCAL_MACHINE, normal));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Opens(HKEY_LOCAL_MACHINE, normal, KEY_READ));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, plat::RegRemoveTree(HKEY_LOCAL_MACHINE, only64));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(machine64, "NimbrelContract64Only"));
    plat::RegClose(machine64);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Opens(HKEY_LOCAL_MACHINE, only64, read64));

    // Classes are seen in the 32-bit view as well.
    plat::RegClose(CreateKey(HKEY_CLASSES_ROOT, "NimbrelContract.View"));
    EXPECT_EQ(ERROR_SUCCESS, Opens(HKEY_CLASSES_ROOT, "NimbrelContract.View", read32));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CLASSES_ROOT, "NimbrelContract.View"));
}

TEST_F(RegistryTest, SubkeysComeSortedWithCounts)
{
    for (const char* name : {"Zeta", "alpha", "BA", "b_x", "Identities", "x"})
        plat::RegClose(CreateKey(m_key, name));
    DWORD count = kSentinel, longest = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, plat::RegCountSubkeys(m_key, &count, &longest));
    EXPECT_EQ(6u, count);
    EXPECT_EQ(10u, longest);

    // Wine sorts subkeys by their lower-case names, so "_" comes before the letters; Windows compares the
    // upper-case names and would give "BA" before "b_x".
    const char* const expected[] = {"alpha", "b_x", "BA", "Identities", "x", "Zeta"};
    char name[32];
    for (DWORD i = 0; i < 6; ++i) {
        memset(name, 0xBD, sizeof(name));
        DWORD length = sizeof(name);
        ASSERT_EQ(ERROR_SUCCESS, plat::RegSubkeyName(m_key, i, name, &length)) << "index " << i;
        EXPECT_EQ(std::string(expected[i]) + '\0' + '\xBD', std::string(name, length + 2)) << "index " << i;
    }
    memset(name, 0xBD, sizeof(name));
    DWORD length = 6;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, plat::RegSubkeyName(m_key, 6, name, &length));
    EXPECT_EQ(6u, length);
    // "Identities" needs 11 characters with its NUL: 10 is too few, and nothing is written.
    length = 10;
    EXPECT_EQ(ERROR_MORE_DATA, plat::RegSubkeyName(m_key, 3, name, &length));
    EXPECT_EQ(10u, length);
    EXPECT_EQ('\xBD', name[0]);

    // Wine counts subkeys through a key opened for enumeration alone; Windows asks for KEY_QUERY_VALUE too,
    // which is why callers open with it.
    HKEY enumOnly = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, kKey, KEY_ENUMERATE_SUB_KEYS, &enumOnly));
    count = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, plat::RegCountSubkeys(enumOnly, &count, nullptr));
    EXPECT_EQ(6u, count);
    plat::RegClose(enumOnly);
}

// Each row: sentinels in every output, one call, then the code, the size, the type, the bytes and the byte
// after them (0xBD where nothing was written); the thread's last error is left alone.
TEST_F(RegistryTest, QueryGivesWholeValuesAndTheirSizes)
{
    const char text[] = "FullString"; // 10 characters and the NUL
    SetString(m_key, "test", "data");
    // Windows adds the NUL that the size left out, as the caller's string has one right after; an empty
    // string gets none.
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "short", REG_SZ, text, 10));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "empty", REG_SZ, text, 0));
    // A string stored without its NUL (the caller's byte after it is not a NUL either) is terminated only
    // when there is room.
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "cut", REG_SZ, text, 9));
    SetString(m_key, "whole", "FullString");
    const DWORD number = 0x12345678;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "number", REG_DWORD, &number, 4));
    SetString(m_key, nullptr, "default");
    SetString(m_key, "gone", "x");
    plat::SetLastErrorCode(kSentinel);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveValue(m_key, "GONE"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, plat::RegRemoveValue(m_key, "gone"));
    EXPECT_EQ(kSentinel, plat::LastErrorCode());
    // Each row: name, room (or no buffer), code, type, size, bytes from the buffer's start.
    const std::tuple<const char*, DWORD, LONG, DWORD, DWORD, std::string> rows[] = {
        {"test", 5, ERROR_SUCCESS, REG_SZ, 5, std::string("data\0\xBD", 6)},
        {"short", 16, ERROR_SUCCESS, REG_SZ, 11, std::string("FullString\0\xBD", 12)},
        {"empty", 16, ERROR_SUCCESS, REG_SZ, 0, "\xBD"},
        {"cut", 9, ERROR_SUCCESS, REG_SZ, 9, "FullStrin\xBD"},
        {"cut", 10, ERROR_SUCCESS, REG_SZ, 9, std::string("FullStrin\0\xBD", 11)},
        {"cut", 8, ERROR_MORE_DATA, REG_SZ, 9, "\xBD"},
        // Too small: the buffer is left alone and the full size given. A string stored with its NUL does not
        // fit a buffer that holds only its characters.
        {"whole", 10, ERROR_MORE_DATA, REG_SZ, 11, "\xBD"},
        {"NUMBER", 16, ERROR_SUCCESS, REG_DWORD, 4, "\x78\x56\x34\x12\xBD"},
        {"number", kNoBuffer, ERROR_SUCCESS, REG_DWORD, 4, ""},
        // A null name stands for the key's default value.
        {nullptr, 16, ERROR_SUCCESS, REG_SZ, 8, std::string("default\0\xBD", 9)},
        // Missing: Wine clears the type (Windows leaves a random value in it); the size becomes 0 without a
        // buffer and stays as passed with one.
        {"missing", kNoBuffer, ERROR_FILE_NOT_FOUND, REG_NONE, 0, ""},
        {"missing", 8, ERROR_FILE_NOT_FOUND, REG_NONE, 8, "\xBD"},
    };
    for (const auto& [name, room, result, expectedType, expectedSize, bytes] : rows) {
        SCOPED_TRACE(std::string(name ? name : "null") + ", room " + std::to_string(room));
        char buffer[16];
        memset(buffer, 0xBD, sizeof(buffer));
        DWORD type = kSentinel, size = room;
        plat::SetLastErrorCode(kSentinel);
        EXPECT_EQ(result, plat::RegQuery(m_key, name, &type, size == kNoBuffer ? nullptr : buffer, &size));
        EXPECT_EQ(kSentinel, plat::LastErrorCode());
        EXPECT_EQ(expectedSize, size);
        EXPECT_EQ(expectedType, type);
        EXPECT_EQ(bytes, std::string(buffer, bytes.size()));
    }
}

// Values are found by name in any case, in a key of a few values and in one of many.
TEST_F(RegistryTest, ValuesAreFoundInAnyCase)
{
    for (int count : {3, 40}) {
        SCOPED_TRACE(count);
        plat::CRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, key.Create(m_key, ("many" + std::to_string(count)).c_str(), KEY_ALL_ACCESS));
        for (int i = 0; i < count; ++i)
            SetString(key.Get(), ("Value Name " + std::to_string(i)).c_str(), std::to_string(i).c_str());
        for (int i = 0; i < count; ++i) {
            std::string text;
            EXPECT_EQ(ERROR_SUCCESS, key.QueryString(("vALUE nAME " + std::to_string(i)).c_str(), text, 16));
            EXPECT_EQ(std::to_string(i), text);
        }
        std::string text;
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.QueryString("Value Name", text, 16));
        EXPECT_EQ(ERROR_FILE_NOT_FOUND,
                  key.QueryString(("Value Name " + std::to_string(count)).c_str(), text, 16));
        // Written again in other case: still one value, with the new data.
        SetString(key.Get(), "VALUE NAME 1", "again");
        EXPECT_EQ(ERROR_SUCCESS, key.QueryString("value name 1", text, 16));
        EXPECT_EQ("again", text);
        // A value added or removed after the key was searched is found, or gone, at once.
        SetString(key.Get(), "Added Later", "new");
        EXPECT_EQ(ERROR_SUCCESS, key.QueryString("added later", text, 16));
        EXPECT_EQ("new", text);
        EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveValue(key.Get(), "value name 2"));
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.QueryString("Value Name 2", text, 16));
        EXPECT_EQ(ERROR_SUCCESS, key.QueryString("Value Name 0", text, 16));
        EXPECT_EQ("0", text);
    }
}

} // namespace
