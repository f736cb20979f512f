// Contract of the profile files: reads with their defaults, cut values, section lines, quotes and line ends;
// writes with the exact bytes they leave, section removal and refusals.
#include "contract/ContractFolder.h"

#include "Files.h"
#include "Profile.h"
#include "ReadBatch.h"

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
// in a NUL with nothing written after it.
std::string Get(const std::string& path, const char* section, const char* key, const char* def = "default",
                DWORD size = 64)
{
    char buffer[66];
    memset(buffer, 0xBD, sizeof(buffer));
    DWORD count = plat::ProfileGetString(section, key, def, buffer, size, path.c_str());
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
        {"section1", "name5", "", 64, m_file, ""},
        {"section9", "name1", "default", 64, m_file, "default"},
        {"section1", "", "default", 64, m_file, "default"},
        {"section1", "name1", "default", 64, missing, "default"},
        // A value that does not fit is cut and terminated.
        {"section1", "name1", "default", 4, m_file, "val"},
        // Blanks around names and values go; one pair of matching quotes goes (Wine takes single ones too).
        {"section2", "spaced", "default", 64, m_file, "value with blanks"},
        {"section2", "quoted", "default", 64, m_file, ""},
        {"section2", "half", "default", 64, m_file, "\"open"},
        {"section2", "single", "default", 64, m_file, "x"},
        {"section2", ";comment", "default", 64, m_file, "x"},
    };
    for (const auto& [section, key, def, size, path, text] : rows)
        EXPECT_EQ(text, Get(path, section, key, def, size)) << section << "/" << key << " " << size;
}

// Section lines: comments left out, names and values trimmed; a cut list counts size - 2.
TEST_F(ProfileTest, SectionLines)
{
    ASSERT_TRUE(WriteTestFile(m_file, kSample));
    const std::tuple<const char*, DWORD, DWORD, std::string> sections[] = {
        {"Section1", 128, 38, std::string("name1=val1\0name2=\"val2\"\0name3\0name4=a\0\0\xBD", 40)},
        {"section2", 128, 57,
         std::string("spaced=value with blanks\0quoted=\"\"\0half=\"open\0single='x'\0\0", 58)},
        {"section1", 24, 22, ""},
    };
    for (const auto& [section, size, count, lines] : sections) {
        char buffer[128];
        memset(buffer, 0xBD, sizeof(buffer));
        EXPECT_EQ(count, plat::ProfileGetSection(section, buffer, size, m_file.c_str())) << section;
        EXPECT_EQ(lines, std::string(buffer, lines.size())) << section;
    }
}

// A value read stops at a NUL inside it: nothing is copied past the value's end.
TEST_F(ProfileTest, AValueEndsAtANulInsideIt)
{
    ASSERT_TRUE(WriteTestFile(m_file, std::string("[s]\r\nk=v\0w\r\n", 13)));
    EXPECT_EQ("v", Get(m_file, "s", "k"));
}

// Files that clients and people write by hand: other line ends, duplicates, odd headers, '=' in values, text
// before any section. A key is looked up in the first section of its name only.
TEST_F(ProfileTest, IrregularFiles)
{
    for (const char* text : {"[s]\rk1=v1\rk2=v2\r", "[s]\nk1=v1\nk2=v2\n", "[s]\r\nk1=v1\r\nk2=v2"}) {
        ASSERT_TRUE(WriteTestFile(m_file, text));
        EXPECT_EQ("v1", Get(m_file, "s", "k1")) << text;
        EXPECT_EQ("v2", Get(m_file, "s", "k2")) << text;
    }

    const std::string irregular = "top=before\r\n[dup]\r\na=1\r\na=2\r\n[ spaced ]\r\nk=spaced\r\n"
                                  "[tail] junk\r\nk=tail\r\n[DUP]\r\nb=3\r\n"
                                  "[eq]\r\nurl=http://x/?a=b\r\ntwo words = v w \r\ntab\t=\tt\r\n";
    // The same with a few sections and with many (Opera 7 keeps one per account).
    std::string many = irregular;
    for (int i = 0; i < 40; ++i)
        many += "[pad" + std::to_string(i) + "]\r\nk=pad\r\n[Dup]\r\nc=4\r\n";
    for (const std::string& text : {irregular, many}) {
        ASSERT_TRUE(WriteTestFile(m_file, text));
        const char* const rows[][3] = {
            {"dup", "a", "1"},           {"dup", "b", "default"}, {"spaced", "k", "spaced"},
            {" spaced ", "k", "spaced"}, {"tail", "k", "tail"},   {"eq", "url", "http://x/?a=b"},
            {"eq", "two words", "v w"},  {"eq", "tab", "t"},      {"", "top", "before"},
            {"DUP", "c", "default"},     {"PAD39", "k", "pad"},
        };
        for (const auto& row : rows) {
            const char* expected = row[2];
            if (text == irregular && strcmp(row[0], "PAD39") == 0)
                expected = "default";
            EXPECT_EQ(expected, Get(m_file, row[0], row[1])) << row[0] << "/" << row[1] << " " << text.size();
        }
    }
}

TEST_F(ProfileTest, WriteRefusals)
{
    // A folder that is not there is not made.
    EXPECT_FALSE(
        plat::ProfileWriteString("section", "key", "value", (m_folder + "nowhere\\file.ini").c_str()));
    EXPECT_FALSE(plat::PathExists((m_folder + "nowhere").c_str()));

    // A value that would not read back as written is refused, and the file stays as it was.
    ASSERT_TRUE(Write("section", "user", "name"));
    const std::string before = Content(m_file);
    DWORD error = 0xDEADBEEF;
    EXPECT_FALSE(
        plat::ProfileWriteString("section", "user", "x\r\n[section]\r\nuser=y", m_file.c_str(), &error));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), error);
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

// Several keys read together give what each read alone gives, whole up to the limit.
TEST_F(ProfileTest, SeveralKeysReadTogether)
{
    const std::string longValue(300, 'v');
    ASSERT_TRUE(WriteTestFile(m_file, std::string(kSample) + "[long]\r\nk=" + longValue +
                                          std::string("\r\nnul=a\0b\r\n", 11) + "empty=\r\n"));
    const char* const keys[] = {"name1", "NAME2", " name4 ", "name3", "missing", ""};
    std::string values[6] = {"stale", "stale", "stale", "stale", "stale", "stale"};
    EXPECT_TRUE(plat::ProfileGetStrings("SECTION1", keys, 6, values, 100, m_file.c_str()));
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(Get(m_file, "section1", keys[i], ""), values[i]) << keys[i];
    EXPECT_EQ("val2", values[1]);

    const char* const blanks[] = {"spaced", "quoted", "single", "half"};
    std::string read[4];
    EXPECT_TRUE(plat::ProfileGetStrings("section2", blanks, 4, read, 100, m_file.c_str()));
    const std::string expected[4] = {"value with blanks", "", "x", "\"open"};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(expected[i], read[i]) << blanks[i];

    // Whole up to the limit; one longer is left empty and said, the others are read all the same.
    const char* const longKeys[] = {"k", "nul", "empty"};
    std::string longRead[3];
    EXPECT_TRUE(plat::ProfileGetStrings("long", longKeys, 3, longRead, 300, m_file.c_str()));
    EXPECT_EQ(longValue, longRead[0]);
    EXPECT_EQ("a", longRead[1]);
    EXPECT_EQ("", longRead[2]);
    EXPECT_FALSE(plat::ProfileGetStrings("long", longKeys, 3, longRead, 299, m_file.c_str()));
    EXPECT_EQ("", longRead[0]);
    EXPECT_EQ("a", longRead[1]);

    // A missing file reads as empty values; a null section or key is refused.
    const std::string missing = m_folder + "missing.ini";
    EXPECT_TRUE(plat::ProfileGetStrings("s", keys, 2, values, 100, missing.c_str()));
    EXPECT_EQ("", values[0] + values[1]);
    EXPECT_FALSE(plat::ProfileGetStrings(nullptr, keys, 1, values, 100, m_file.c_str()));
    const char* const nullKey[] = {"name1", nullptr};
    EXPECT_FALSE(plat::ProfileGetStrings("section1", nullKey, 2, values, 100, m_file.c_str()));
    EXPECT_EQ("", values[0]);
}

// The clients' files are in the ANSI code page (1252 here and on the portable backend): values come in as
// UTF-8, go out as the code page's bytes, and what the code page cannot hold is never written.
TEST_F(ProfileTest, CodePageFilesAreReadAndWrittenAsUtf8)
{
    const std::string file = "[Zo\xEB]\r\nUser=Zo\xEB\r\nHole=Zo\x81\r\nUtf=\xC5\x81ukasz\r\n";
    ASSERT_TRUE(WriteTestFile(m_file, file));
    EXPECT_EQ("Zo\xC3\xAB", Get(m_file, "Zo\xC3\xAB", "User"));
    // A byte the code page leaves undefined reads as U+FFFD; UTF-8 in such a file is read as code-page bytes.
    EXPECT_EQ("Zo\xEF\xBF\xBD", Get(m_file, "Zo\xC3\xAB", "Hole"));
    EXPECT_EQ("\xC3\x85\xEF\xBF\xBDukasz", Get(m_file, "Zo\xC3\xAB", "Utf"));
    EXPECT_EQ(std::string("Zo\xC3\xAB\0", 5), Get(m_file, nullptr, nullptr, ""));
    const char* const keys[] = {"User", "Hole"};
    std::string values[2];
    EXPECT_TRUE(plat::ProfileGetStrings("Zo\xC3\xAB", keys, 2, values, 100, m_file.c_str()));
    EXPECT_EQ("Zo\xC3\xAB", values[0]);
    EXPECT_EQ("Zo\xEF\xBF\xBD", values[1]);
    // A default in code-page bytes reads as the file's values do.
    EXPECT_EQ("Zo\xC3\xAB", Get(m_file, "none", "none", "Zo\xEB"));
    EXPECT_EQ("Zo\xEF\xBF\xBD", Get(m_file, "none", "none", "Zo\x81"));
    // Counted in UTF-8 bytes: "Zoë" is four of them.
    EXPECT_FALSE(plat::ProfileGetStrings("Zo\xC3\xAB", keys, 1, values, 3, m_file.c_str()));

    // Letters beyond the code page, a four-byte character, a hole's C1 control, U+FFFD (what a hole reads
    // as) and bytes that are no UTF-8 are refused and leave the file as it was.
    for (const char* value : {"\xC5\x81ukasz", "\xE6\x9D\x8E\xE9\x9B\xB7", "\xF0\x9F\x98\x80", "Zo\xC2\x81",
                              "Zo\xEF\xBF\xBD", "Zo\xEB"}) {
        DWORD error = 0;
        EXPECT_FALSE(plat::ProfileWriteString("Zo\xC3\xAB", "User", value, m_file.c_str(), &error)) << value;
        EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), error) << value;
    }
    DWORD error = 0;
    EXPECT_FALSE(plat::ProfileWriteString("\xC5\x81", "User", "x", m_file.c_str(), &error));
    EXPECT_FALSE(plat::ProfileWriteString("Zo\xC3\xAB", "\xC5\x81", "x", m_file.c_str(), &error));
    EXPECT_EQ(file, Content(m_file));
    // What it holds is written as its bytes: 0xEB for the letter.
    ASSERT_TRUE(
        plat::ProfileWriteString("Zo\xC3\xAB", "User", "Zo\xC3\xAB/pop.zo\xC3\xAB/110", m_file.c_str()));
    EXPECT_EQ("[Zo\xEB]\r\nUser=Zo\xEB/pop.zo\xEB/110\r\nHole=Zo\x81\r\nUtf=\xC5\x81ukasz\r\n",
              Content(m_file));

    // A file that starts with a UTF-8 byte-order mark holds UTF-8.
    ASSERT_TRUE(WriteTestFile(m_file, "\xEF\xBB\xBF[s]\r\nUser=Zo\xC3\xAB\r\n"));
    EXPECT_EQ("Zo\xC3\xAB", Get(m_file, "s", "User"));
    ASSERT_TRUE(Write("s", "User", "Zo\xC3\xAB/pop/110"));
    EXPECT_EQ("\xEF\xBB\xBF[s]\r\nUser=Zo\xC3\xAB/pop/110\r\n", Content(m_file));
}

// A read batch never hides what the program itself has just written.
TEST_F(ProfileTest, ABatchReadsBackTheProgramsWrites)
{
    ASSERT_TRUE(WriteTestFile(m_file, "[s]\r\nk=one\r\n"));
    plat::CReadBatch batch;
    EXPECT_EQ("one", Get(m_file, "s", "k"));
    EXPECT_TRUE(Write("s", "k", "two"));
    EXPECT_EQ("two", Get(m_file, "s", "k"));
    EXPECT_TRUE(plat::ReplaceWholeFile(m_file.c_str(), "[s]\r\nk=three\r\n"));
    EXPECT_EQ("three", Get(m_file, "s", "k"));
    EXPECT_TRUE(plat::RemoveFile(m_file.c_str()));
    EXPECT_EQ("default", Get(m_file, "s", "k"));
}

} // namespace
