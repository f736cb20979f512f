// Contract of the profile readers: defaults, cut values, lists, quotes, line ends and numbers.
#include "contract/ContractFolder.h"

#include "Environment.h"
#include "Files.h"
#include "Profile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char kSample[] = "[section1]\r\n"
                       "name1=val1\r\n"
                       "name2=\"val2\"\r\n"
                       "name3\r\n"
                       "name4=a\r\n"
                       "[section2]\r\n"
                       ";comment=x\r\n"
                       "  spaced  =  value with blanks  \r\n"
                       "quoted=\"\"\r\n"
                       "half=\"open\r\n"
                       "single='x'\r\n"
                       "[section3]\r\n";

class ProfileReadTest : public contract::CFolderTest
{
protected:
    void SetUp() override
    {
        contract::CFolderTest::SetUp();
        m_file = m_folder + "sample.ini";
        ASSERT_TRUE(contract::WriteTestFile(m_file, kSample));
    }

    std::string m_file;
};

// One read into a sentinel-filled buffer; checks the count, the text and the byte after its NUL.
void CheckString(const char* section, const char* key, const char* def, DWORD size, const std::string& path,
                 DWORD expectedCount, const char* expectedText, int row)
{
    char buffer[64];
    memset(buffer, 0xBD, sizeof(buffer));
    DWORD count =
        plat::ProfileGetString(section, key, def, buffer, size, path.empty() ? nullptr : path.c_str());
    EXPECT_EQ(expectedCount, count) << "row " << row;
    EXPECT_STREQ(expectedText, buffer) << "row " << row;
    EXPECT_EQ('\xBD', buffer[strlen(expectedText) + 1]) << "row " << row;
}

TEST_F(ProfileReadTest, ValuesAndDefaults)
{
    const std::string missing = m_folder + "missing.ini";
    const std::string noFolder = m_folder + "nowhere\\missing.ini";
    struct Row
    {
        const char* section;
        const char* key;
        const char* def;
        DWORD size;
        const std::string* path;
        DWORD count;
        const char* text;
    };
    const std::string empty;
    const Row rows[] = {
        {"section1", "name1", "default", 64, &m_file, 4, "val1"},
        {"SECTION1", "NaMe1", "default", 64, &m_file, 4, "val1"},
        {" section1 ", " name1 ", "default", 64, &m_file, 4, "val1"},
        {"section1", "name2", "default", 64, &m_file, 4, "val2"},
        {"section1", "name3", "default", 64, &m_file, 7, "default"},
        {"section1", "name5", "default", 64, &m_file, 7, "default"},
        {"section9", "name1", "default", 64, &m_file, 7, "default"},
        {"section1", "", "default", 64, &m_file, 7, "default"},
        {"section1", "name1", "default", 64, &missing, 7, "default"},
        {"section1", "name1", "default", 64, &noFolder, 7, "default"},
        {"section1", "name1", "default", 64, &empty, 7, "default"},
        {"section1", "name5", "default  ", 64, &m_file, 7, "default"},
        {"section1", "name5", nullptr, 64, &m_file, 0, ""},
        {"section1", "name5", "", 64, &m_file, 0, ""},
        // A value that does not fit is cut and terminated.
        {"section1", "name1", "default", 4, &m_file, 3, "val"},
        {"section1", "name1", "default", 5, &m_file, 4, "val1"},
        {"section1", "name4", "default", 1, &m_file, 0, ""},
        {"section1", "name5", "default", 4, &m_file, 3, "def"},
        // Blanks around names and values go; one pair of matching quotes goes (Wine takes single ones too).
        {"section2", "spaced", "default", 64, &m_file, 17, "value with blanks"},
        {"section2", "quoted", "default", 64, &m_file, 0, ""},
        {"section2", "half", "default", 64, &m_file, 5, "\"open"},
        {"section2", "single", "default", 64, &m_file, 1, "x"},
        {"section2", ";comment", "default", 64, &m_file, 1, "x"},
    };
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i) {
        const Row& row = rows[i];
        CheckString(row.section, row.key, row.def, row.size, *row.path, row.count, row.text,
                    static_cast<int>(i));
    }

    // Size 0 leaves the buffer alone.
    char buffer[8];
    memset(buffer, 0xBD, sizeof(buffer));
    EXPECT_EQ(0u, plat::ProfileGetString("section1", "name1", "default", buffer, 0, m_file.c_str()));
    EXPECT_EQ('\xBD', buffer[0]);
}

// Double-NUL lists: the count leaves out the final NUL, and a list that is cut (even one that fits exactly)
// counts size - 2. Wine does not write the same bytes as Windows in a cut list, so only the count is pinned.
TEST_F(ProfileReadTest, KeyAndSectionLists)
{
    char buffer[64];
    memset(buffer, 0xBD, sizeof(buffer));
    EXPECT_EQ(18u,
              plat::ProfileGetString("section1", nullptr, "default", buffer, sizeof(buffer), m_file.c_str()));
    EXPECT_EQ(0, memcmp(buffer, "name1\0name2\0name4\0\0", 19));
    EXPECT_EQ('\xBD', buffer[19]);

    const DWORD sizes[] = {16, 19, 20};
    const DWORD counts[] = {14, 17, 18};
    for (int i = 0; i < 3; ++i) {
        memset(buffer, 0xBD, sizeof(buffer));
        EXPECT_EQ(counts[i],
                  plat::ProfileGetString("section1", nullptr, "default", buffer, sizes[i], m_file.c_str()))
            << "row " << i;
    }

    // A section without keys gives the default.
    memset(buffer, 0xBD, sizeof(buffer));
    EXPECT_EQ(7u,
              plat::ProfileGetString("section3", nullptr, "default", buffer, sizeof(buffer), m_file.c_str()));
    EXPECT_STREQ("default", buffer);

    // Section names: 27 bytes of names and NULs, then the final NUL.
    memset(buffer, 0xBD, sizeof(buffer));
    EXPECT_EQ(27u,
              plat::ProfileGetString(nullptr, nullptr, "default", buffer, sizeof(buffer), m_file.c_str()));
    EXPECT_EQ(0, memcmp(buffer, "section1\0section2\0section3\0\0", 28));
    const DWORD nameSizes[] = {29, 28, 27};
    const DWORD nameCounts[] = {27, 26, 25};
    for (int i = 0; i < 3; ++i) {
        memset(buffer, 0xBD, sizeof(buffer));
        EXPECT_EQ(nameCounts[i],
                  plat::ProfileGetString(nullptr, nullptr, "default", buffer, nameSizes[i], m_file.c_str()))
            << "row " << i;
    }
}

TEST_F(ProfileReadTest, SectionLines)
{
    char buffer[128];
    memset(buffer, 0xBD, sizeof(buffer));
    DWORD count = plat::ProfileGetSection("Section1", buffer, sizeof(buffer), m_file.c_str());
    const char expected[] = "name1=val1\0name2=\"val2\"\0name3\0name4=a\0";
    EXPECT_EQ(sizeof(expected) - 1, count);
    EXPECT_EQ(0, memcmp(buffer, expected, sizeof(expected)));
    EXPECT_EQ('\xBD', buffer[sizeof(expected)]);

    // Comments are left out, names and values come trimmed.
    memset(buffer, 0xBD, sizeof(buffer));
    count = plat::ProfileGetSection("section2", buffer, sizeof(buffer), m_file.c_str());
    const char second[] = "spaced=value with blanks\0quoted=\"\"\0half=\"open\0single='x'\0";
    EXPECT_EQ(sizeof(second) - 1, count);
    EXPECT_EQ(0, memcmp(buffer, second, sizeof(second)));

    memset(buffer, 0xBD, sizeof(buffer));
    EXPECT_EQ(22u, plat::ProfileGetSection("section1", buffer, 24, m_file.c_str()));

    memset(buffer, 0xBD, sizeof(buffer));
    EXPECT_EQ(0u, plat::ProfileGetSection("section9", buffer, sizeof(buffer), m_file.c_str()));
    EXPECT_EQ(0, buffer[0]);
}

// CR-only and LF-only files read as CR+LF ones do.
TEST_F(ProfileReadTest, LineEnds)
{
    const char* const files[] = {"[s]\rk1=v1\rk2=v2\r", "[s]\nk1=v1\nk2=v2\n", "[s]\r\nk1=v1\r\nk2=v2"};
    for (int i = 0; i < 3; ++i) {
        std::string path = m_folder + "ends" + std::to_string(i) + ".ini";
        ASSERT_TRUE(contract::WriteTestFile(path, files[i]));
        CheckString("s", "k1", "default", 64, path, 2, "v1", i);
        CheckString("s", "k2", "default", 64, path, 2, "v2", i);
    }
}

TEST_F(ProfileReadTest, BareNameLivesInTheWindowsDirectory)
{
    std::string windows;
    ASSERT_TRUE(plat::WindowsDirectory(windows));
    std::string bare = "nimbrel-contract-" + m_folder.substr(m_folder.size() - 8, 7) + ".ini";
    for (char& c : bare) {
        if (c == '\\' || c == '/')
            c = '-';
    }
    std::string full = windows + "\\" + bare;
    ASSERT_TRUE(contract::WriteTestFile(full, "[where]\r\nplace=windows\r\n"));
    CheckString("where", "place", "default", 64, bare, 7, "windows", 0);
    EXPECT_TRUE(plat::RemoveFile(full.c_str()));
}

TEST_F(ProfileReadTest, Numbers)
{
    std::string path = m_folder + "numbers.ini";
    ASSERT_TRUE(contract::WriteTestFile(path, "[n]\r\n"
                                              "plain=42\r\n"
                                              "trailing=42A9\r\n"
                                              "leading=B42\r\n"
                                              "minus=-1\r\n"
                                              "wrap=4294967297\r\n"
                                              "empty=\r\n"
                                              "quoted=\"17\"\r\n"
                                              "blank=  8  \r\n"
                                              "plus=+5\r\n"
                                              "hex=0x10\r\n"));
    struct Row
    {
        const char* key;
        int def;
        UINT expected;
    };
    const Row rows[] = {
        {"plain", 5, 42},  {"trailing", 5, 42}, {"leading", 5, 0}, {"minus", 5, 4294967295u},
        {"wrap", 5, 1},    {"empty", 5, 5},     {"missing", 5, 5}, {"missing", -2, 4294967294u},
        {"quoted", 5, 17}, {"blank", 5, 8},     {"plus", 5, 5},    {"hex", 5, 16},
    };
    // Wine parses the digits with base 0, so "0x10" reads as 16.
    for (size_t i = 0; i < sizeof(rows) / sizeof(rows[0]); ++i)
        EXPECT_EQ(rows[i].expected, plat::ProfileGetInt("n", rows[i].key, rows[i].def, path.c_str()))
            << "row " << i;
}

} // namespace

namespace {

// Files that clients and people write by hand: duplicates, odd headers, '=' in values, text before any
// section. A key is looked up in the first section of its name only; lists show every section and key as they
// come.
TEST_F(ProfileReadTest, IrregularFiles)
{
    const std::string path = m_folder + "irregular.ini";
    ASSERT_TRUE(contract::WriteTestFile(path, "top=before\r\n"
                                              "[dup]\r\n"
                                              "a=1\r\n"
                                              "a=2\r\n"
                                              "[ spaced ]\r\n"
                                              "k=spaced\r\n"
                                              "[tail] junk\r\n"
                                              "k=tail\r\n"
                                              "[dup]\r\n"
                                              "b=3\r\n"
                                              "[eq]\r\n"
                                              "url=http://x/?a=b\r\n"
                                              "two words = v w \r\n"
                                              "tab\t=\tt\r\n"));
    const char* const rows[][3] = {
        {"dup", "a", "1"},           {"dup", "b", "default"}, {"spaced", "k", "spaced"},
        {" spaced ", "k", "spaced"}, {"tail", "k", "tail"},   {"eq", "url", "http://x/?a=b"},
        {"eq", "two words", "v w"},  {"eq", "tab", "t"},      {"", "top", "before"},
    };
    for (int i = 0; i < 9; ++i) {
        char buffer[32];
        memset(buffer, 0xBD, sizeof(buffer));
        plat::ProfileGetString(rows[i][0], rows[i][1], "default", buffer, sizeof(buffer), path.c_str());
        EXPECT_STREQ(rows[i][2], buffer) << "row " << i;
    }
    char buffer[64];
    memset(buffer, 0xBD, sizeof(buffer));
    DWORD count = plat::ProfileGetString("dup", nullptr, "default", buffer, sizeof(buffer), path.c_str());
    EXPECT_EQ(std::string("a\0a\0", 4), std::string(buffer, count));
    memset(buffer, 0xBD, sizeof(buffer));
    count = plat::ProfileGetString(nullptr, nullptr, "default", buffer, sizeof(buffer), path.c_str());
    EXPECT_EQ(std::string("dup\0spaced\0tail\0dup\0eq\0", 23), std::string(buffer, count));
}

} // namespace
