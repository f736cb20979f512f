// Contract of the profile files: reads with their defaults, cut values, lists, quotes, line ends and numbers;
// writes with the exact bytes they leave, deletions and refusals.
#include "contract/ContractFolder.h"

#include "Environment.h"
#include "Files.h"
#include "Profile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

namespace {

using contract::Content;
using contract::WriteTestFile;

const char kSample[] = "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n"
                       "[section2]\r\n;comment=x\r\n  spaced  =  value with blanks  \r\nquoted=\"\"\r\n"
                       "half=\"open\r\nsingle='x'\r\n[section3]\r\n";

// One read into a buffer of `size` bytes filled with 0xBD: the text as long as the count says, which must end
// in a NUL with nothing written after it. Key lists come back with their NULs but without the final one.
std::string Get(const std::string& path, const char* section, const char* key, const char* def = "default",
                DWORD size = 64)
{
    char buffer[66];
    memset(buffer, 0xBD, sizeof(buffer));
    DWORD count =
        plat::ProfileGetString(section, key, def, buffer, size, path.empty() ? nullptr : path.c_str());
    if (count > 64)
        return "<count " + std::to_string(count) + ">";
    EXPECT_EQ('\0', buffer[count]);
    EXPECT_EQ('\xBD', buffer[count + 1]);
    return std::string(buffer, count);
}

class ProfileTest : public contract::CFolderTest
{
protected:
    void SetUp() override
    {
        contract::CFolderTest::SetUp();
        m_file = m_folder + "profile.ini";
    }
    BOOL Write(const char* section, const char* key, const char* value)
    {
        return plat::ProfileWriteString(section, key, value, m_file.c_str());
    }

    std::string m_file;
};

TEST_F(ProfileTest, ValuesAndDefaults)
{
    ASSERT_TRUE(WriteTestFile(m_file, kSample));
    const std::string missing = m_folder + "missing.ini";
    // Each row: section, key, default, buffer size, file, text read.
    const std::tuple<const char*, const char*, const char*, DWORD, const std::string&, const char*> rows[] = {
        {"section1", "name1", "default", 64, m_file, "val1"},
        {"SECTION1", "NaMe1", "default", 64, m_file, "val1"},
        {" section1 ", " name1 ", "default", 64, m_file, "val1"},
        {"section1", "name2", "default", 64, m_file, "val2"},
        {"section1", "name3", "default", 64, m_file, "default"},
        {"section1", "name5", "default", 64, m_file, "default"},
        {"section9", "name1", "default", 64, m_file, "default"},
        {"section1", "", "default", 64, m_file, "default"},
        {"section1", "name1", "default", 64, missing, "default"},
        {"section1", "name5", "default  ", 64, m_file, "default"},
        {"section1", "name5", nullptr, 64, m_file, ""},
        {"section1", "name5", "", 64, m_file, ""},
        // A section without keys lists none: the default.
        {"section3", nullptr, "default", 64, m_file, "default"},
        // A value that does not fit is cut and terminated.
        {"section1", "name1", "default", 4, m_file, "val"},
        {"section1", "name1", "default", 5, m_file, "val1"},
        {"section1", "name4", "default", 1, m_file, ""},
        {"section1", "name5", "default", 4, m_file, "def"},
        // Blanks around names and values go; one pair of matching quotes goes (Wine takes single ones too).
        {"section2", "spaced", "default", 64, m_file, "value with blanks"},
        {"section2", "quoted", "default", 64, m_file, ""},
        {"section2", "half", "default", 64, m_file, "\"open"},
        {"section2", "single", "default", 64, m_file, "x"},
        {"section2", ";comment", "default", 64, m_file, "x"},
    };
    for (const auto& [section, key, def, size, path, text] : rows)
        EXPECT_EQ(text, Get(path, section, key, def, size))
            << section << "/" << (key ? key : "null") << " " << size;
}

// Double-NUL lists: the count leaves out the final NUL, and a list that is cut (even one that fits exactly)
// counts size - 2. Wine does not write the same bytes as Windows in a cut list, so only the count is pinned.
TEST_F(ProfileTest, KeySectionAndLineLists)
{
    ASSERT_TRUE(WriteTestFile(m_file, kSample));
    EXPECT_EQ(std::string("name1\0name2\0name4\0", 18), Get(m_file, "section1", nullptr));
    EXPECT_EQ(std::string("section1\0section2\0section3\0", 27), Get(m_file, nullptr, nullptr));
    const std::tuple<const char*, DWORD, DWORD> cut[] = {{"section1", 16, 14}, {"section1", 19, 17},
                                                         {"section1", 20, 18}, {nullptr, 29, 27},
                                                         {nullptr, 28, 26},    {nullptr, 27, 25}};
    for (const auto& [section, size, count] : cut) {
        char buffer[32];
        EXPECT_EQ(count, plat::ProfileGetString(section, nullptr, "default", buffer, size, m_file.c_str()))
            << size;
    }

    // Section lines: comments left out, names and values trimmed.
    const std::tuple<const char*, DWORD, DWORD, std::string> sections[] = {
        {"Section1", 128, 38, std::string("name1=val1\0name2=\"val2\"\0name3\0name4=a\0\0\xBD", 40)},
        {"section2", 128, 57,
         std::string("spaced=value with blanks\0quoted=\"\"\0half=\"open\0single='x'\0\0", 58)},
        {"section1", 24, 22, ""},
        {"section9", 128, 0, std::string("\0", 1)},
    };
    for (const auto& [section, size, count, lines] : sections) {
        char buffer[128];
        memset(buffer, 0xBD, sizeof(buffer));
        EXPECT_EQ(count, plat::ProfileGetSection(section, buffer, size, m_file.c_str())) << section;
        EXPECT_EQ(lines, std::string(buffer, lines.size())) << section;
    }
}

// Files no client would write: they read without harm, and a write still lands where it should.
TEST_F(ProfileTest, HostileFiles)
{
    const std::string samples[] = {
        std::string("\xEF\xBB\xBF[s]\r\nk=v\r\n"),
        std::string("[s\r\nk=v\r\n[s]\r\nk=v\r\n"),
        std::string("[s]\r\nk=v\0w\r\n", 13),
        std::string("=value\r\n[s]\r\n=\r\nk=v"),
        std::string("[s]\r\n") + std::string(100000, 'x') + "\r\nk=v\r\n",
        std::string("\r\n\r\n\r\r\n\n[s]k=junk\r\nk=v\r\n"),
        std::string("[s]\r\n[]\r\nk=other\r\n[s]\r\nk=second\r\n"),
    };
    for (size_t i = 0; i < sizeof(samples) / sizeof(samples[0]); ++i) {
        SCOPED_TRACE("sample " + std::to_string(i));
        ASSERT_TRUE(WriteTestFile(m_file, samples[i]));
        char buffer[16];
        memset(buffer, 0xBD, sizeof(buffer));
        DWORD count = plat::ProfileGetString("s", "k", "default", buffer, sizeof(buffer), m_file.c_str());
        EXPECT_GE(15u, count);
        EXPECT_EQ(count, strlen(buffer));
        // Nothing is copied past the value's end, not even what follows a NUL inside it.
        if (count + 1 < sizeof(buffer)) {
            EXPECT_EQ('\xBD', buffer[count + 1]);
        }
        EXPECT_TRUE(Write("s", "k", "new"));
        EXPECT_EQ("new", Get(m_file, "s", "k"));
    }
}

// Files that clients and people write by hand: other line ends, duplicates, odd headers, '=' in values, text
// before any section. A key is looked up in the first section of its name only; lists show every section and
// key as they come.
TEST_F(ProfileTest, IrregularFiles)
{
    for (const char* text : {"[s]\rk1=v1\rk2=v2\r", "[s]\nk1=v1\nk2=v2\n", "[s]\r\nk1=v1\r\nk2=v2"}) {
        ASSERT_TRUE(WriteTestFile(m_file, text));
        EXPECT_EQ("v1", Get(m_file, "s", "k1")) << text;
        EXPECT_EQ("v2", Get(m_file, "s", "k2")) << text;
    }

    ASSERT_TRUE(WriteTestFile(m_file,
                              "top=before\r\n[dup]\r\na=1\r\na=2\r\n[ spaced ]\r\nk=spaced\r\n[tail] junk\r\n"
                              "k=tail\r\n[dup]\r\nb=3\r\n[eq]\r\nurl=http://x/?a=b\r\ntwo words = v w \r\n"
                              "tab\t=\tt\r\n"));
    const char* const rows[][3] = {
        {"dup", "a", "1"},           {"dup", "b", "default"}, {"spaced", "k", "spaced"},
        {" spaced ", "k", "spaced"}, {"tail", "k", "tail"},   {"eq", "url", "http://x/?a=b"},
        {"eq", "two words", "v w"},  {"eq", "tab", "t"},      {"", "top", "before"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row[2], Get(m_file, row[0], row[1])) << row[0] << "/" << row[1];
    EXPECT_EQ(std::string("a\0a\0", 4), Get(m_file, "dup", nullptr));
    EXPECT_EQ(std::string("dup\0spaced\0tail\0dup\0eq\0", 23), Get(m_file, nullptr, nullptr));
}

TEST_F(ProfileTest, BareNameLivesInTheWindowsDirectory)
{
    std::string windows;
    ASSERT_TRUE(plat::WindowsDirectory(windows));
    std::string bare = "nimbrel-contract-" + m_folder.substr(m_folder.size() - 8, 7) + ".ini";
    for (char& c : bare)
        c = c == '\\' || c == '/' ? '-' : c;
    ASSERT_TRUE(WriteTestFile(windows + "\\" + bare, "[where]\r\nplace=windows\r\n"));
    EXPECT_EQ("windows", Get(bare, "where", "place"));
    EXPECT_TRUE(plat::RemoveFile((windows + "\\" + bare).c_str()));
}

// Each row a line of the file (none for "missing") and the number read with the default 5. Wine parses the
// digits with base 0, so "0x10" reads as 16.
TEST_F(ProfileTest, Numbers)
{
    const std::pair<std::string, UINT> rows[] = {
        {"plain=42", 42},       {"trailing=42A9", 42}, {"leading=B42", 0}, {"minus=-1", 4294967295u},
        {"wrap=4294967297", 1}, {"empty=", 5},         {"missing", 5},     {"quoted=\"17\"", 17},
        {"blank=  8  ", 8},     {"plus=+5", 5},        {"hex=0x10", 16},
    };
    std::string file = "[n]\r\n";
    for (const auto& row : rows)
        file += row.first.find('=') == std::string::npos ? "" : row.first + "\r\n";
    ASSERT_TRUE(WriteTestFile(m_file, file));
    for (const auto& [line, expected] : rows)
        EXPECT_EQ(expected,
                  plat::ProfileGetInt("n", line.substr(0, line.find('=')).c_str(), 5, m_file.c_str()))
            << line;
    EXPECT_EQ(4294967294u, plat::ProfileGetInt("n", "missing", -2, m_file.c_str()));
}

TEST_F(ProfileTest, NewFileSectionsAndKeys)
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
}

TEST_F(ProfileTest, WriteRefusals)
{
    // A folder that is not there is not made.
    EXPECT_FALSE(
        plat::ProfileWriteString("section", "key", "value", (m_folder + "nowhere\\file.ini").c_str()));
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
    for (const auto& row : hostile) {
        DWORD error = 0xDEADBEEF;
        EXPECT_FALSE(plat::ProfileWriteString(row[0], row[1], row[2], m_file.c_str(), &error)) << row[2];
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), error) << row[2];
    }
    EXPECT_EQ(before, Content(m_file));
}

// Lines that a write does not concern keep their bytes, a UTF-8 byte-order mark among them; each row reads
// the key before its write, then the whole file after it. A row without a file goes on with the last.
TEST_F(ProfileTest, WritesIntoExistingFiles)
{
    const char* const settings = "[Settings]\r\nDominant=1\r\n;remark\r\nPOPServer=pop.example.com\r\n"
                                 "LoginName=joe\r\n[Other]\r\nx=1\r\n";
    const char* const server = "[Settings]\r\nDominant=1\r\n;remark\r\nPOPServer=localhost\r\n"
                               "LoginName=joe\r\n[Other]\r\nx=1\r\n";
    // Each row: the file (or none), section, key, value before, value written, file after.
    const std::tuple<const char*, const char*, const char*, const char*, const char*, std::string> rows[] = {
        {settings, "Settings", "POPServer", "pop.example.com", "localhost", server},
        // Writing the value a key already has changes nothing.
        {nullptr, "Settings", "LoginName", "joe", "joe", server},
        {"[a]\r\nk=v", "a", "n", "default", "w", "[a]\r\nk=v\r\nn=w\r\n"},
        {"[a]\r\nk=v", "b", "n", "default", "w", "[a]\r\nk=v\r\n[b]\r\nn=w\r\n"},
        {"\xEF\xBB\xBF[Accounts]\r\nCount=1\r\n", "Accounts", "Count", "1", "2",
         "\xEF\xBB\xBF[Accounts]\r\nCount=2\r\n"},
    };
    for (const auto& [file, section, key, old, value, after] : rows) {
        ASSERT_TRUE(!file || WriteTestFile(m_file, file));
        EXPECT_EQ(old, Get(m_file, section, key)) << key;
        EXPECT_TRUE(Write(section, key, value)) << key;
        EXPECT_EQ(after, Content(m_file)) << key;
    }
}

// Wine writes the whole file anew: blank lines go and every line ends in CR+LF. Windows, and the portable
// backend, leave the lines a write does not concern as they were. Both read back the same.
TEST_F(ProfileTest, MixedLineEndsAndBlankLines)
{
    ASSERT_TRUE(WriteTestFile(m_file, "[a]\r\n k = v \r\n\r\nq=1\n\n[b]\rx=1\r"));
    EXPECT_TRUE(Write("a", "k", "w"));
    EXPECT_EQ(0u, Content(m_file).find("[a]\r\nk=w\r\n"));
    EXPECT_EQ("w", Get(m_file, "a", "k", ""));
    EXPECT_EQ("1", Get(m_file, "a", "q", ""));
    EXPECT_EQ("1", Get(m_file, "b", "x", ""));
}

// Writes into duplicated and spaced sections land where reads will look for them.
TEST_F(ProfileTest, IrregularSections)
{
    ASSERT_TRUE(WriteTestFile(m_file, "[dup]\r\na=1\r\n[ spaced ]\r\nk=v\r\n[dup]\r\nb=3\r\n"));
    EXPECT_TRUE(Write("dup", "b", "9"));
    EXPECT_TRUE(Write("spaced", "k", "w"));
    EXPECT_EQ("9", Get(m_file, "dup", "b", ""));
    EXPECT_EQ("w", Get(m_file, "spaced", "k", ""));
    // The new key went to the first [dup]; the old one stays in the second until removed from there.
    EXPECT_EQ(std::string("a\0b\0", 4), Get(m_file, "dup", nullptr, ""));
    EXPECT_TRUE(Write("dup", "b", nullptr));
    EXPECT_TRUE(Write("dup", "b", nullptr));
    EXPECT_EQ("", Get(m_file, "dup", "b", ""));
    EXPECT_EQ(std::string::npos, Content(m_file).find("b=")) << Content(m_file);
    EXPECT_EQ(std::string("dup\0spaced\0dup\0", 15), Get(m_file, nullptr, nullptr, ""));
}

// Removing a section that stands more than once removes the first; the next goes with the next call.
TEST_F(ProfileTest, RemovingRepeatedSection)
{
    ASSERT_TRUE(WriteTestFile(m_file, "[dup]\r\na=1\r\n[keep]\r\nk=v\r\n[DUP]\r\nb=3\r\n"));
    EXPECT_TRUE(Write("dup", nullptr, nullptr));
    EXPECT_EQ("[keep]\r\nk=v\r\n[DUP]\r\nb=3\r\n", Content(m_file));
    EXPECT_TRUE(Write("dup", nullptr, nullptr));
    EXPECT_EQ("[keep]\r\nk=v\r\n", Content(m_file));
    EXPECT_TRUE(Write("dup", nullptr, nullptr));
    EXPECT_EQ("[keep]\r\nk=v\r\n", Content(m_file));
}

} // namespace
