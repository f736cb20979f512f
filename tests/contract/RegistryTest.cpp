// Contract of the registry calls: keys, views, paths and enumeration; values with the exact codes, sizes and
// bytes the Windows functions give; CRegKey's typed reads.
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

TEST_F(RegistryTest, OpenCreateAndRemove)
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

    // Removal takes everything below; handles still open see a deleted key.
    EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CURRENT_USER, a));
    size = sizeof(buffer);
    EXPECT_EQ(ERROR_KEY_DELETED, plat::RegQuery(child, "v", nullptr, buffer, &size));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(child));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(parent));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Opens(HKEY_CURRENT_USER, a, KEY_READ));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, plat::RegRemoveTree(HKEY_CURRENT_USER, a));

    // An empty path would remove the root's whole content: refused.
    EXPECT_EQ(ERROR_INVALID_PARAMETER, plat::RegRemoveTree(HKEY_CURRENT_USER, ""));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, plat::RegRemoveTree(HKEY_CURRENT_USER, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, Opens(HKEY_CURRENT_USER, "Software", KEY_READ));
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

    HKEY empty = CreateKey(m_key, "x");
    count = longest = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, plat::RegCountSubkeys(empty, &count, &longest));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(0u, longest);
    plat::RegClose(empty);

    // Enumeration needs the right to it.
    HKEY queryOnly = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, kKey, KEY_QUERY_VALUE, &queryOnly));
    length = sizeof(name);
    EXPECT_EQ(ERROR_ACCESS_DENIED, plat::RegSubkeyName(queryOnly, 0, name, &length));
    plat::RegClose(queryOnly);
}

// Windows keeps values in the order they were set; Wine 8 keeps them sorted by lower-case name, like subkeys.
// Each row: sentinels in every output, one call, then the code, the name with its length, the type, the size
// and the data up to the first byte left alone.
TEST_F(RegistryTest, ValuesEnumerateSortedByName)
{
    SetString(m_key, "Zulu", "z");
    SetString(m_key, "a_b", "1");
    SetString(m_key, "AB", "2");
    DWORD number = 7;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "mid", REG_DWORD, &number, 4));
    SetString(m_key, "foobar", "foobar");
    // Each row: index, room for the name and the data, code, name, length, type, size, data.
    const std::tuple<DWORD, DWORD, DWORD, LONG, std::string, DWORD, DWORD, DWORD, std::string> rows[] = {
        {0, 16, kNoBuffer, ERROR_SUCCESS, std::string("a_b\0", 4), 3, REG_SZ, 2, ""},
        {1, 16, kNoBuffer, ERROR_SUCCESS, std::string("AB\0", 3), 2, REG_SZ, 2, ""},
        {2, 16, 16, ERROR_SUCCESS, std::string("foobar\0\xBD", 8), 6, REG_SZ, 7,
         std::string("foobar\0\xBD", 8)},
        {3, 16, kNoBuffer, ERROR_SUCCESS, std::string("mid\0", 4), 3, REG_DWORD, 4, ""},
        {4, 16, kNoBuffer, ERROR_SUCCESS, std::string("Zulu\0", 5), 4, REG_SZ, 2, ""},
        // Data too small: the full size with its NUL comes back, and the name is left alone too.
        {2, 16, 3, ERROR_MORE_DATA, "\xBD", 16, REG_SZ, 7, "\xBD"},
        // A name that does not fit ("foobar" needs 7 with its NUL): Wine cuts it and still gives the data.
        {2, 6, 16, ERROR_MORE_DATA, std::string("fooba\0\xBD", 7), 6, REG_SZ, 7,
         std::string("foobar\0\xBD", 8)},
    };
    for (const auto& [index, nameRoom, dataRoom, result, expectedName, expectedLength, expectedType,
                      expectedSize, expectedData] : rows) {
        SCOPED_TRACE("index " + std::to_string(index) + ", rooms " + std::to_string(nameRoom) + " " +
                     std::to_string(dataRoom));
        char name[16];
        unsigned char data[16];
        memset(name, 0xBD, sizeof(name));
        memset(data, 0xBD, sizeof(data));
        DWORD length = nameRoom, type = kSentinel, size = dataRoom;
        EXPECT_EQ(result, plat::RegValueAt(m_key, index, name, &length, &type,
                                           size == kNoBuffer ? nullptr : data, &size));
        EXPECT_EQ(expectedName, std::string(name, expectedName.size()));
        EXPECT_EQ(expectedLength, length);
        EXPECT_EQ(expectedType, type);
        EXPECT_EQ(expectedSize, size);
        EXPECT_EQ(expectedData, std::string(reinterpret_cast<char*>(data), expectedData.size()));
    }
    char name[16];
    DWORD length = sizeof(name);
    EXPECT_EQ(ERROR_NO_MORE_ITEMS, plat::RegValueAt(m_key, 5, name, &length, nullptr, nullptr, nullptr));
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
    const unsigned char blob[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "blob", REG_BINARY, blob, 8));
    SetString(m_key, nullptr, "default");
    SetString(m_key, "gone", "x");
    plat::SetLastErrorCode(kSentinel);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveValue(m_key, "GONE"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, plat::RegRemoveValue(m_key, "gone"));
    EXPECT_EQ(kSentinel, plat::LastErrorCode());
    // Each row: name, room (or no buffer), code, type, size, bytes from the buffer's start.
    const std::tuple<const char*, DWORD, LONG, DWORD, DWORD, std::string> rows[] = {
        // Too small: the buffer is left alone and the full size given.
        {"test", 4, ERROR_MORE_DATA, REG_SZ, 5, "\xBD"},
        {"test", 5, ERROR_SUCCESS, REG_SZ, 5, std::string("data\0\xBD", 6)},
        {"short", 16, ERROR_SUCCESS, REG_SZ, 11, std::string("FullString\0\xBD", 12)},
        {"empty", 16, ERROR_SUCCESS, REG_SZ, 0, "\xBD"},
        {"cut", 9, ERROR_SUCCESS, REG_SZ, 9, "FullStrin\xBD"},
        {"cut", 10, ERROR_SUCCESS, REG_SZ, 9, std::string("FullStrin\0\xBD", 11)},
        {"cut", 8, ERROR_MORE_DATA, REG_SZ, 9, "\xBD"},
        // A string stored with its NUL does not fit a buffer that holds only its characters.
        {"whole", 10, ERROR_MORE_DATA, REG_SZ, 11, "\xBD"},
        {"NUMBER", 16, ERROR_SUCCESS, REG_DWORD, 4, "\x78\x56\x34\x12\xBD"},
        {"number", kNoBuffer, ERROR_SUCCESS, REG_DWORD, 4, ""},
        {"blob", 4, ERROR_MORE_DATA, REG_BINARY, 8, "\xBD"},
        // A null name and an empty one both stand for the key's default value.
        {"", 16, ERROR_SUCCESS, REG_SZ, 8, std::string("default\0\xBD", 9)},
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

TEST_F(RegistryTest, AccessRightsOfTheHandle)
{
    SetString(m_key, "text", "abc");
    HKEY readOnly = nullptr, writeOnly = nullptr, enumOnly = nullptr, child = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, kKey, KEY_READ, &readOnly));
    DWORD number = 1, size = kSentinel, count = kSentinel;
    EXPECT_EQ(ERROR_ACCESS_DENIED, plat::RegWrite(readOnly, "number", REG_DWORD, &number, 4));
    EXPECT_EQ(ERROR_ACCESS_DENIED, plat::RegRemoveValue(readOnly, "text"));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(readOnly));

    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, kKey, KEY_WRITE, &writeOnly));
    EXPECT_EQ(ERROR_ACCESS_DENIED, plat::RegQuery(writeOnly, "text", nullptr, nullptr, &size));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegWrite(writeOnly, "number", REG_DWORD, &number, 4));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(writeOnly));

    // Wine counts subkeys and makes new ones below a key opened for enumeration alone; Windows asks for
    // KEY_QUERY_VALUE and KEY_CREATE_SUB_KEY, which is why callers open with them.
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, kKey, KEY_ENUMERATE_SUB_KEYS, &enumOnly));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegCountSubkeys(enumOnly, &count, nullptr));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegCreate(enumOnly, "child", KEY_READ, &child));
    if (child)
        plat::RegClose(child);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(enumOnly));
}

// CRegKey's typed reads: never a cut string, a NUL added where the stored one is missing, types checked.
TEST_F(RegistryTest, RegKeyTypedReads)
{
    SetString(m_key, "name", "abc");
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "noNul", REG_SZ, "xyzw", 3));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "expand", REG_EXPAND_SZ, "%TEMP%", 7));
    DWORD number = 110;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "port", REG_DWORD, &number, 4));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "short", REG_DWORD, &number, 2));

    plat::CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, kKey, KEY_READ));
    // Each row: name, limit, any type taken, then the code, the text read into "kumquat" and the type where
    // it is asked for.
    const std::tuple<const char*, DWORD, BOOL, LONG, const char*, DWORD> rows[] = {
        {"name", 260, FALSE, ERROR_SUCCESS, "abc", REG_SZ},
        {"name", 3, FALSE, ERROR_MORE_DATA, "kumquat", 0},
        {"name", 4, FALSE, ERROR_SUCCESS, "abc", 0},
        {"noNul", 3, FALSE, ERROR_SUCCESS, "xyz", 0},
        {"expand", 260, FALSE, ERROR_INVALID_DATATYPE, "kumquat", kSentinel},
        {"expand", 260, TRUE, ERROR_SUCCESS, "%TEMP%", REG_EXPAND_SZ},
        {"missing", 260, FALSE, ERROR_FILE_NOT_FOUND, "kumquat", 0},
        {"port", 260, FALSE, ERROR_INVALID_DATATYPE, "kumquat", 0},
    };
    for (const auto& [name, limit, anyType, result, expectedText, expectedType] : rows) {
        std::string text = "kumquat";
        DWORD type = kSentinel;
        EXPECT_EQ(result, key.QueryString(name, text, limit, expectedType ? &type : nullptr, anyType))
            << name << limit;
        EXPECT_EQ(expectedText, text) << name << " " << limit;
        EXPECT_EQ(expectedType ? expectedType : kSentinel, type) << name << " " << limit;
    }

    DWORD value = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryDword("PORT", value));
    EXPECT_EQ(110u, value);
    value = kSentinel;
    EXPECT_EQ(ERROR_INVALID_DATATYPE, key.QueryDword("short", value));
    EXPECT_EQ(ERROR_INVALID_DATATYPE, key.QueryDword("name", value));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.QueryDword("missing", value));
    EXPECT_EQ(kSentinel, value);

    plat::CRegKey writer;
    ASSERT_EQ(ERROR_SUCCESS, writer.Open(HKEY_CURRENT_USER, kKey, KEY_WRITE | KEY_READ));
    EXPECT_EQ(ERROR_SUCCESS, writer.SetString("written", "user/pop.example.com/110"));
    char buffer[32];
    memset(buffer, 0xBD, sizeof(buffer));
    DWORD type = kSentinel, size = sizeof(buffer);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegQuery(writer.Get(), "written", &type, buffer, &size));
    EXPECT_EQ(25u, size);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_STREQ("user/pop.example.com/110", buffer);
}

} // namespace
