// Contract of the registry value calls: exact codes, sizes and bytes, as the Windows functions give them.
#include "LastError.h"
#include "RegKey.h"
#include "Registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char* const kTestKey = "Software\\NimbrelContract\\Values";
const DWORD kSentinel = 0xDEADBEEF;

class RegistryValueTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        plat::RegRemoveTree(HKEY_CURRENT_USER, kTestKey);
        ASSERT_EQ(ERROR_SUCCESS, plat::RegCreate(HKEY_CURRENT_USER, kTestKey, KEY_ALL_ACCESS, &m_key));
    }
    void TearDown() override
    {
        if (m_key)
            plat::RegClose(m_key);
        EXPECT_EQ(ERROR_SUCCESS, plat::RegRemoveTree(HKEY_CURRENT_USER, kTestKey));
        plat::RegRemoveTree(HKEY_CURRENT_USER, "Software\\NimbrelContract");
    }
    void SetString(const char* name, const char* text)
    {
        ASSERT_EQ(ERROR_SUCCESS,
                  plat::RegWrite(m_key, name, REG_SZ, text, static_cast<DWORD>(strlen(text) + 1)));
    }

    HKEY m_key = nullptr;
};

// Each row: sentinels in every output, one call, then the code, the size, the type, the bytes and the byte
// after them (0xBD where nothing was written).
TEST_F(RegistryValueTest, QueryGivesWholeValuesAndTheirSizes)
{
    const char text[] = "FullString"; // 10 characters and the NUL
    SetString("test", "data");
    // Windows adds the NUL that the size left out, as the caller's string has one right after; an empty
    // string gets none.
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "short", REG_SZ, text, 10));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "empty", REG_SZ, text, 0));
    // A string stored without its NUL (the caller's byte after it is not a NUL either) is terminated only
    // when there is room.
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "cut", REG_SZ, text, 9));
    SetString("whole", "FullString");
    const struct
    {
        const char* name;
        DWORD room;
        LONG result;
        DWORD size;
        std::string bytes;
    } rows[] = {
        // Too small: the buffer is left alone and the full size given.
        {"test", 1, ERROR_MORE_DATA, 5, "\xBD"},
        {"test", 4, ERROR_MORE_DATA, 5, "\xBD"},
        {"test", 5, ERROR_SUCCESS, 5, std::string("data\0\xBD", 6)},
        {"short", 16, ERROR_SUCCESS, 11, std::string("FullString\0\xBD", 12)},
        {"empty", 16, ERROR_SUCCESS, 0, "\xBD"},
        {"cut", 9, ERROR_SUCCESS, 9, "FullStrin\xBD"},
        {"cut", 10, ERROR_SUCCESS, 9, std::string("FullStrin\0\xBD", 11)},
        {"cut", 8, ERROR_MORE_DATA, 9, "\xBD"},
        // A string stored with its NUL does not fit a buffer that holds only its characters.
        {"whole", 10, ERROR_MORE_DATA, 11, "\xBD"},
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        SCOPED_TRACE("row " + std::to_string(i) + ": " + rows[i].name);
        char buffer[16];
        memset(buffer, 0xBD, sizeof(buffer));
        DWORD type = kSentinel;
        DWORD size = rows[i].room;
        plat::SetLastErrorCode(kSentinel);
        EXPECT_EQ(rows[i].result, plat::RegQuery(m_key, rows[i].name, &type, buffer, &size));
        EXPECT_EQ(kSentinel, plat::LastErrorCode());
        EXPECT_EQ(rows[i].size, size);
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
        EXPECT_EQ(rows[i].bytes, std::string(buffer, rows[i].bytes.size()));
    }
}

TEST_F(RegistryValueTest, QueryMissingValue)
{
    char buffer[8];
    memset(buffer, 0xBD, sizeof(buffer));
    DWORD type = kSentinel;
    DWORD size = kSentinel;
    plat::SetLastErrorCode(kSentinel);
    LONG result = plat::RegQuery(m_key, "missing", &type, nullptr, &size);
    DWORD error = plat::LastErrorCode();
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, result);
    EXPECT_EQ(0u, size);
    // Wine clears the type; Windows leaves a random value in it.
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), type);
    EXPECT_EQ(kSentinel, error);

    type = kSentinel;
    size = sizeof(buffer);
    plat::SetLastErrorCode(kSentinel);
    result = plat::RegQuery(m_key, "missing", &type, buffer, &size);
    error = plat::LastErrorCode();
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, result);
    EXPECT_EQ(static_cast<DWORD>(sizeof(buffer)), size);
    EXPECT_EQ('\xBD', buffer[0]);
    EXPECT_EQ(static_cast<DWORD>(REG_NONE), type);
    EXPECT_EQ(kSentinel, error);
}

TEST_F(RegistryValueTest, DwordBinaryAndDefaultValue)
{
    DWORD number = 0x12345678;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "number", REG_DWORD, &number, 4));
    const unsigned char blob[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "blob", REG_BINARY, blob, 8));
    SetString(nullptr, "default");

    unsigned char buffer[12];
    DWORD type = kSentinel;
    DWORD size = sizeof(buffer);
    memset(buffer, 0xBD, sizeof(buffer));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegQuery(m_key, "NUMBER", &type, buffer, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(4u, size);
    EXPECT_EQ(0, memcmp(buffer, &number, 4));
    EXPECT_EQ(0xBD, buffer[4]);

    memset(buffer, 0xBD, sizeof(buffer));
    size = 4;
    EXPECT_EQ(ERROR_MORE_DATA, plat::RegQuery(m_key, "blob", &type, buffer, &size));
    EXPECT_EQ(8u, size);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_EQ(0xBD, buffer[0]);

    // A null name and an empty one both stand for the key's default value.
    char text[12];
    memset(text, 0xBD, sizeof(text));
    size = sizeof(text);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegQuery(m_key, "", &type, text, &size));
    EXPECT_EQ(8u, size);
    EXPECT_STREQ("default", text);

    size = kSentinel;
    type = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, plat::RegQuery(m_key, "number", &type, nullptr, &size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
}

TEST_F(RegistryValueTest, RemoveValue)
{
    SetString("gone", "x");
    plat::SetLastErrorCode(kSentinel);
    LONG first = plat::RegRemoveValue(m_key, "GONE");
    LONG second = plat::RegRemoveValue(m_key, "gone");
    DWORD error = plat::LastErrorCode();
    EXPECT_EQ(ERROR_SUCCESS, first);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, second);
    EXPECT_EQ(kSentinel, error);
    DWORD size = kSentinel;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, plat::RegQuery(m_key, "gone", nullptr, nullptr, &size));
    EXPECT_EQ(0u, size);
}

TEST_F(RegistryValueTest, AccessRightsOfTheHandle)
{
    SetString("text", "abc");
    HKEY readOnly = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, kTestKey, KEY_READ, &readOnly));
    DWORD number = 1;
    EXPECT_EQ(ERROR_ACCESS_DENIED, plat::RegWrite(readOnly, "number", REG_DWORD, &number, 4));
    EXPECT_EQ(ERROR_ACCESS_DENIED, plat::RegRemoveValue(readOnly, "text"));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(readOnly));

    HKEY writeOnly = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, kTestKey, KEY_WRITE, &writeOnly));
    DWORD size = kSentinel;
    EXPECT_EQ(ERROR_ACCESS_DENIED, plat::RegQuery(writeOnly, "text", nullptr, nullptr, &size));
    EXPECT_EQ(0u, size);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegWrite(writeOnly, "number", REG_DWORD, &number, 4));
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(writeOnly));

    // Wine counts subkeys and makes new ones below a key opened for enumeration alone; Windows asks for
    // KEY_QUERY_VALUE and KEY_CREATE_SUB_KEY, which is why callers open with them.
    HKEY enumOnly = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegOpen(HKEY_CURRENT_USER, kTestKey, KEY_ENUMERATE_SUB_KEYS, &enumOnly));
    DWORD count = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, plat::RegCountSubkeys(enumOnly, &count, nullptr));
    EXPECT_EQ(0u, count);
    HKEY child = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, plat::RegCreate(enumOnly, "child", KEY_READ, &child));
    if (child)
        plat::RegClose(child);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegClose(enumOnly));
}

// CRegKey's typed reads: never a cut string, a NUL added where the stored one is missing, types checked.
TEST_F(RegistryValueTest, RegKeyTypedReads)
{
    SetString("name", "abc");
    const char noNul[] = "xyzw";
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "noNul", REG_SZ, noNul, 3));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "expand", REG_EXPAND_SZ, "%TEMP%", 7));
    DWORD number = 110;
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "port", REG_DWORD, &number, 4));
    ASSERT_EQ(ERROR_SUCCESS, plat::RegWrite(m_key, "short", REG_DWORD, &number, 2));

    plat::CRegKey key;
    ASSERT_EQ(ERROR_SUCCESS, key.Open(HKEY_CURRENT_USER, kTestKey, KEY_READ));
    std::string text = "kumquat";
    DWORD type = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryString("name", text, 260, &type));
    EXPECT_EQ("abc", text);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);

    text = "kumquat";
    EXPECT_EQ(ERROR_MORE_DATA, key.QueryString("name", text, 3));
    EXPECT_EQ("kumquat", text);
    EXPECT_EQ(ERROR_SUCCESS, key.QueryString("name", text, 4));
    EXPECT_EQ("abc", text);

    text = "kumquat";
    EXPECT_EQ(ERROR_SUCCESS, key.QueryString("noNul", text, 3));
    EXPECT_EQ("xyz", text);

    text = "kumquat";
    type = kSentinel;
    EXPECT_EQ(ERROR_INVALID_DATATYPE, key.QueryString("expand", text, 260, &type));
    EXPECT_EQ("kumquat", text);
    EXPECT_EQ(kSentinel, type);
    EXPECT_EQ(ERROR_SUCCESS, key.QueryString("expand", text, 260, &type, TRUE));
    EXPECT_EQ("%TEMP%", text);
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);

    text = "kumquat";
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.QueryString("missing", text, 260));
    EXPECT_EQ(ERROR_INVALID_DATATYPE, key.QueryString("port", text, 260));
    EXPECT_EQ("kumquat", text);

    DWORD value = kSentinel;
    EXPECT_EQ(ERROR_SUCCESS, key.QueryDword("PORT", value));
    EXPECT_EQ(110u, value);
    value = kSentinel;
    EXPECT_EQ(ERROR_INVALID_DATATYPE, key.QueryDword("short", value));
    EXPECT_EQ(ERROR_INVALID_DATATYPE, key.QueryDword("name", value));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, key.QueryDword("missing", value));
    EXPECT_EQ(kSentinel, value);

    plat::CRegKey writer;
    ASSERT_EQ(ERROR_SUCCESS, writer.Open(HKEY_CURRENT_USER, kTestKey, KEY_WRITE | KEY_READ));
    EXPECT_EQ(ERROR_SUCCESS, writer.SetString("written", "user/pop.example.com/110"));
    EXPECT_EQ(ERROR_SUCCESS, writer.SetDword("written2", 3110));
    char buffer[32];
    memset(buffer, 0xBD, sizeof(buffer));
    DWORD size = sizeof(buffer);
    EXPECT_EQ(ERROR_SUCCESS, plat::RegQuery(writer.Get(), "written", &type, buffer, &size));
    EXPECT_EQ(25u, size);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_STREQ("user/pop.example.com/110", buffer);
    EXPECT_EQ(ERROR_SUCCESS, writer.QueryDword("written2", value));
    EXPECT_EQ(3110u, value);
}

} // namespace
