// Contract of the profile writer: the exact bytes it leaves, deletions and refusals.
#include "contract/ContractFolder.h"

#include "Files.h"
#include "LastError.h"
#include "Profile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const DWORD kSentinel = 0xDEADBEEF;

class ProfileWriteTest : public contract::CFolderTest
{
protected:
    void SetUp() override
    {
        contract::CFolderTest::SetUp();
        m_file = m_folder + "written.ini";
    }

    std::string Content(const std::string& path) const
    {
        std::string bytes = "<no file>";
        plat::ReadWholeFile(path.c_str(), bytes);
        return bytes;
    }
    BOOL Write(const char* section, const char* key, const char* value)
    {
        return plat::ProfileWriteString(section, key, value, m_file.c_str());
    }

    std::string m_file;
};

TEST_F(ProfileWriteTest, NewFileSectionsAndKeys)
{
    EXPECT_TRUE(Write("section1", "key1", "data1"));
    EXPECT_EQ("[section1]\r\nkey1=data1\r\n", Content(m_file));

    EXPECT_TRUE(Write("section1", "key2", ""));
    EXPECT_EQ("[section1]\r\nkey1=data1\r\nkey2=\r\n", Content(m_file));

    // A new section goes at the end of the file.
    EXPECT_TRUE(Write("section2", "key3", "data3"));
    EXPECT_EQ("[section1]\r\nkey1=data1\r\nkey2=\r\n[section2]\r\nkey3=data3\r\n", Content(m_file));

    // A new key goes at the end of its section; an existing one keeps its place and its spelling.
    EXPECT_TRUE(Write("SECTION1", "key4", "data4"));
    EXPECT_TRUE(Write("section1", "KEY1", "  changed"));
    EXPECT_EQ("[section1]\r\nkey1=changed\r\nkey2=\r\nkey4=data4\r\n[section2]\r\nkey3=data3\r\n",
              Content(m_file));

    // A null value removes the key, and removing it again still succeeds.
    EXPECT_TRUE(Write("section1", "key2", nullptr));
    EXPECT_TRUE(Write("section1", "key2", nullptr));
    EXPECT_TRUE(Write("section9", "key2", nullptr));
    EXPECT_EQ("[section1]\r\nkey1=changed\r\nkey4=data4\r\n[section2]\r\nkey3=data3\r\n", Content(m_file));

    // A null key removes the whole section.
    EXPECT_TRUE(Write("section1", nullptr, nullptr));
    EXPECT_EQ("[section2]\r\nkey3=data3\r\n", Content(m_file));

    char buffer[16];
    EXPECT_EQ(5u,
              plat::ProfileGetString("section2", "key3", "default", buffer, sizeof(buffer), m_file.c_str()));
    EXPECT_EQ(7u,
              plat::ProfileGetString("section1", "key1", "default", buffer, sizeof(buffer), m_file.c_str()));
}

TEST_F(ProfileWriteTest, Refusals)
{
    DWORD error = kSentinel;
    plat::SetLastErrorCode(kSentinel);
    EXPECT_FALSE(plat::ProfileWriteString(nullptr, "key", "value", m_file.c_str(), &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), error);
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), plat::LastErrorCode());
    EXPECT_FALSE(plat::PathExists(m_file.c_str()));

    error = kSentinel;
    EXPECT_FALSE(plat::ProfileWriteString("section", "key", "value", "", &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), error);

    // A folder that is not there is not made.
    std::string nowhere = m_folder + "nowhere\\file.ini";
    EXPECT_FALSE(plat::ProfileWriteString("section", "key", "value", nowhere.c_str()));
    EXPECT_FALSE(plat::PathExists((m_folder + "nowhere").c_str()));

    // Removing from a file that is not there succeeds and makes no file.
    EXPECT_TRUE(Write("section", "key", nullptr));
    EXPECT_FALSE(plat::PathExists(m_file.c_str()));

    // Names and values that would not read back as written are refused, and the file stays as it was.
    ASSERT_TRUE(Write("section", "user", "name"));
    const std::string before = Content(m_file);
    const char* const hostile[][3] = {
        {"section", "user", "x\r\n[section]\r\nuser=y"},
        {"section", "user", "x\ny"},
        {"section", "a=b", "c"},
        {"section", "[other]", "c"},
        {"sec\r\ntion", "user", "c"},
    };
    for (int i = 0; i < 5; ++i) {
        error = kSentinel;
        EXPECT_FALSE(
            plat::ProfileWriteString(hostile[i][0], hostile[i][1], hostile[i][2], m_file.c_str(), &error))
            << "row " << i;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), error) << "row " << i;
    }
    EXPECT_EQ(before, Content(m_file));
}

// Lines that the write does not concern keep their bytes.
TEST_F(ProfileWriteTest, ExistingFileKeepsOtherLines)
{
    ASSERT_TRUE(contract::WriteTestFile(m_file, "[Settings]\r\n"
                                                "Dominant=1\r\n"
                                                ";remark\r\n"
                                                "POPServer=pop.example.com\r\n"
                                                "LoginName=joe\r\n"
                                                "[Other]\r\n"
                                                "x=1\r\n"));
    EXPECT_TRUE(Write("Settings", "POPServer", "localhost"));
    EXPECT_TRUE(Write("Settings", "POPPort", "3110"));
    EXPECT_EQ("[Settings]\r\n"
              "Dominant=1\r\n"
              ";remark\r\n"
              "POPServer=localhost\r\n"
              "LoginName=joe\r\n"
              "POPPort=3110\r\n"
              "[Other]\r\n"
              "x=1\r\n",
              Content(m_file));

    // Writing the value a key already has changes nothing.
    const std::string written = Content(m_file);
    EXPECT_TRUE(Write("Settings", "LoginName", "joe"));
    EXPECT_EQ(written, Content(m_file));
}

TEST_F(ProfileWriteTest, FilesWithoutFinalLineEnd)
{
    ASSERT_TRUE(contract::WriteTestFile(m_file, "[a]\r\nk=v"));
    EXPECT_TRUE(Write("a", "n", "w"));
    EXPECT_EQ("[a]\r\nk=v\r\nn=w\r\n", Content(m_file));

    ASSERT_TRUE(contract::WriteTestFile(m_file, "[a]\r\nk=v"));
    EXPECT_TRUE(Write("b", "n", "w"));
    EXPECT_EQ("[a]\r\nk=v\r\n[b]\r\nn=w\r\n", Content(m_file));
}

// Wine writes the whole file anew: blank lines go and every line ends in CR+LF. Windows, and the portable
// backend, leave the lines a write does not concern as they were. Both read back the same.
TEST_F(ProfileWriteTest, MixedLineEndsAndBlankLines)
{
    ASSERT_TRUE(contract::WriteTestFile(m_file, "[a]\r\n k = v \r\n\r\nq=1\n\n[b]\rx=1\r"));
    EXPECT_TRUE(Write("a", "k", "w"));
    const std::string content = Content(m_file);
    EXPECT_EQ(0u, content.find("[a]\r\nk=w\r\n"));
    const char* const keys[][3] = {{"a", "k", "w"}, {"a", "q", "1"}, {"b", "x", "1"}};
    for (int i = 0; i < 3; ++i) {
        char buffer[8];
        EXPECT_EQ(1u,
                  plat::ProfileGetString(keys[i][0], keys[i][1], "", buffer, sizeof(buffer), m_file.c_str()))
            << "row " << i;
        EXPECT_STREQ(keys[i][2], buffer) << "row " << i;
    }
}

// Writes into duplicated and spaced sections land where reads will look for them.
TEST_F(ProfileWriteTest, IrregularSections)
{
    ASSERT_TRUE(contract::WriteTestFile(m_file, "[dup]\r\na=1\r\n[ spaced ]\r\nk=v\r\n[dup]\r\nb=3\r\n"));
    EXPECT_TRUE(Write("dup", "b", "9"));
    EXPECT_TRUE(Write("spaced", "k", "w"));
    char buffer[16];
    EXPECT_EQ(1u, plat::ProfileGetString("dup", "b", "", buffer, sizeof(buffer), m_file.c_str()));
    EXPECT_STREQ("9", buffer);
    EXPECT_EQ(1u, plat::ProfileGetString("spaced", "k", "", buffer, sizeof(buffer), m_file.c_str()));
    EXPECT_STREQ("w", buffer);
    // The new key went to the first [dup]; the old one stays in the second until removed from there.
    EXPECT_EQ(4u, plat::ProfileGetString("dup", nullptr, "", buffer, sizeof(buffer), m_file.c_str()));
    EXPECT_EQ(0, memcmp(buffer, "a\0b\0", 5));
    EXPECT_TRUE(Write("dup", "b", nullptr));
    EXPECT_TRUE(Write("dup", "b", nullptr));
    EXPECT_EQ(0u, plat::ProfileGetString("dup", "b", "", buffer, sizeof(buffer), m_file.c_str()));
    const std::string content = Content(m_file);
    EXPECT_EQ(std::string::npos, content.find("b=")) << content;
    char names[32];
    EXPECT_EQ(15u, plat::ProfileGetString(nullptr, nullptr, "", names, sizeof(names), m_file.c_str()));
    EXPECT_EQ(0, memcmp(names, "dup\0spaced\0dup\0", 16));
}

// A UTF-8 byte-order mark stays in front, and the first section behind it is still found.
TEST_F(ProfileWriteTest, ByteOrderMarkStays)
{
    ASSERT_TRUE(contract::WriteTestFile(m_file, "\xEF\xBB\xBF[Accounts]\r\nCount=1\r\n"));
    char buffer[8];
    EXPECT_EQ(1u, plat::ProfileGetString("Accounts", "Count", "", buffer, sizeof(buffer), m_file.c_str()));
    EXPECT_TRUE(Write("Accounts", "Count", "2"));
    EXPECT_EQ("\xEF\xBB\xBF[Accounts]\r\nCount=2\r\n", Content(m_file));
}

// Removing a section that stands more than once removes the first; the next goes with the next call.
TEST_F(ProfileWriteTest, RemovingRepeatedSection)
{
    ASSERT_TRUE(contract::WriteTestFile(m_file, "[dup]\r\na=1\r\n[keep]\r\nk=v\r\n[DUP]\r\nb=3\r\n"));
    EXPECT_TRUE(Write("dup", nullptr, nullptr));
    char buffer[16];
    EXPECT_EQ(0u, plat::ProfileGetString("dup", "a", "", buffer, sizeof(buffer), m_file.c_str()));
    EXPECT_EQ(1u, plat::ProfileGetString("dup", "b", "", buffer, sizeof(buffer), m_file.c_str()));
    EXPECT_EQ("[keep]\r\nk=v\r\n[DUP]\r\nb=3\r\n", Content(m_file));
    EXPECT_TRUE(Write("dup", nullptr, nullptr));
    EXPECT_EQ("[keep]\r\nk=v\r\n", Content(m_file));
    EXPECT_TRUE(Write("dup", nullptr, nullptr));
    EXPECT_EQ("[keep]\r\nk=v\r\n", Content(m_file));
}

} // namespace
