// Contract of the profile reads within a read batch and of many values set in one edit: both must give what
// the profile functions give, read or written one value at a time, on files as irregular as people make them.
#include "contract/ContractFolder.h"

#include "Files.h"
#include "Profile.h"
#include "ProfileEdit.h"
#include "ReadBatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using contract::Content;
using contract::WriteTestFile;

// Files the two ways of reading must agree on: line ends of every kind, blanks, quotes, duplicates, odd
// headers, text before any section, a DOS end mark, the code page, a UTF-8 byte-order mark, UTF-16.
std::vector<std::string> IrregularFiles()
{
    std::vector<std::string> files = {
        "[a]\r\nk=v\r\nq=\"quoted\"\r\ns='single'\r\nh=\"half\r\nempty=\r\nbare\r\n=nameless\r\n",
        "[a]\rk=v\rq= \t spaced \t \r[b]\nk=b1\n[a]\r\nk=later\r\n",
        "top=before\r\n[ a ]\r\n  k  =  v w  \r\n[a] junk\r\nk=dup\r\n[b\r\nk=open\r\n[]\r\nk=none\r\n",
        "\r\n\r\n;c=comment\r\n[a]\r\n;k=x\r\nk=v=w\r\nK=second\r\n\x1a",
        "[a]\r\nk=Zo\xEB\r\nhole=\x81\r\n[Zo\xEB]\r\nk=v\r\n",
        "\xEF\xBB\xBF[a]\r\nk=Zo\xC3\xAB\r\nplain=v\r\n",
        std::string("\xFF\xFE[\0a\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0", 22),
        "[a]\r\nk=v",
    };
    std::string many;
    for (int i = 0; i < 60; ++i)
        many += "[s" + std::to_string(i) + "]\r\nk=" + std::to_string(i) + "\r\n";
    files.push_back(many + "[a]\r\nk=v\r\n[S7]\r\nk=dup\r\n");
    return files;
}

class ProfileBatchTest : public contract::CFolderTest
{
protected:
    void SetUp() override
    {
        contract::CFolderTest::SetUp();
        m_file = m_folder + "profile.ini";
    }
    // Every key asked of a section, read together: the values and the result.
    static std::string ReadTogether(const std::string& path, const char* section,
                                    const std::vector<const char*>& keys)
    {
        std::vector<std::string> values(keys.size());
        const BOOL whole =
            plat::ProfileGetStrings(section, keys.data(), keys.size(), values.data(), 100, path.c_str());
        std::string all = whole ? "whole:" : "cut:";
        for (const std::string& value : values)
            all += "[" + value + "]";
        return all;
    }

    std::string m_file;
};

TEST_F(ProfileBatchTest, AReadBatchReadsWhatTheFunctionsRead)
{
    const std::vector<const char*> sections = {"a",   "A",          " a ", "b",      "s7",
                                               "S59", "Zo\xC3\xAB", "",    "missing"};
    const std::vector<const char*> keys = {"k",    "K", " k ",  "q",     "s",       "h",   "empty",
                                           "bare", "",  "hole", "plain", "missing", "top", "Zo\xC3\xAB"};
    for (const std::string& text : IrregularFiles()) {
        ASSERT_TRUE(WriteTestFile(m_file, text));
        std::vector<std::string> alone;
        for (const char* section : sections)
            alone.push_back(ReadTogether(m_file, section, keys));
        plat::CReadBatch batch;
        for (size_t i = 0; i < sections.size(); ++i)
            EXPECT_EQ(alone[i], ReadTogether(m_file, sections[i], keys))
                << "[" << sections[i] << "] in " << text;
    }
}

TEST_F(ProfileBatchTest, ValuesSetInOneEditReadAsIfWrittenOneByOne)
{
    const std::string byOne = m_folder + "one-by-one.ini";
    const std::vector<plat::ProfileValue> values = {{"a", "k", "new/pop.mail.example/110"},
                                                    {"A", "q", "8110"},
                                                    {"b", "k", "b2"},
                                                    {"a", "added", "1"},
                                                    {"new", "k", "fresh"},
                                                    {"s7", "k", "seven"},
                                                    {"a", "k", "last"}};
    const std::vector<const char*> keys = {"k", "q", "s", "h", "empty", "added", "plain"};
    const std::vector<const char*> sections = {"a", "b", "new", "s7", "s8", ""};
    for (const std::string& text : IrregularFiles()) {
        std::string edited = text;
        if (!plat::ProfileSetValues(edited, values.data(), values.size())) {
            // Only a file the edit cannot read is left to the profile functions, untouched.
            EXPECT_EQ(text, edited);
            EXPECT_FALSE(plat::IsPlainProfileText(text)) << text;
            continue;
        }
        ASSERT_TRUE(WriteTestFile(byOne, text));
        for (const plat::ProfileValue& value : values)
            ASSERT_TRUE(plat::ProfileWriteString(value.section.c_str(), value.key.c_str(),
                                                 value.value.c_str(), byOne.c_str()));
        ASSERT_TRUE(WriteTestFile(m_file, edited));
        for (const char* section : sections) {
            EXPECT_EQ(ReadTogether(byOne, section, keys), ReadTogether(m_file, section, keys))
                << "[" << section << "] in " << text;
        }
    }

    // Every byte but the values' own stays as it was, where Wine's functions write the file anew.
    std::string bytes = "; kept\r\n[Account1]\r\nIncoming Username = petra\r\n\r\nincoming port=110\r\n"
                        "[Account2]\r\nIncoming Username=olga\r\nIncoming Username=later\r\n";
    ASSERT_TRUE(plat::ProfileSetValues(
        bytes,
        std::vector<plat::ProfileValue>{{"Account1", "Incoming Username", "petra/pop.mail.example/110"},
                                        {"Account1", "Incoming Port", "8110"},
                                        {"Account2", "Incoming Username", "olga/pop.mail.example/110"}}
            .data(),
        3));
    EXPECT_EQ(
        "; kept\r\n[Account1]\r\nIncoming Username=petra/pop.mail.example/110\r\n\r\nincoming port=8110\r\n"
        "[Account2]\r\nIncoming Username=olga/pop.mail.example/110\r\nIncoming Username=later\r\n",
        bytes);

    // A key set twice ends as setting it twice leaves it: written anew once a value differed, untouched when
    // none did.
    std::string twice = "[s]\r\n  k = v \r\n  j = w \r\n";
    const plat::ProfileValue back[] = {{"s", "k", "x"}, {"s", "k", "v"}, {"s", "j", "w"}, {"s", "J", "w"}};
    ASSERT_TRUE(plat::ProfileSetValues(twice, back, 4));
    EXPECT_EQ("[s]\r\nk=v\r\n  j = w \r\n", twice);

    // A value that would not read back as given, or would spill into other lines, leaves the bytes alone.
    const std::string before = bytes;
    for (const char* refused : {" lead", "trail ", "\"quoted\"", "line\r\nbreak", ""}) {
        const plat::ProfileValue one[] = {{"Account1", "Incoming Port", "1100"},
                                          {"Account2", "Incoming Username", refused}};
        EXPECT_FALSE(plat::ProfileSetValues(bytes, one, 2)) << refused;
        EXPECT_EQ(before, bytes) << refused;
    }
    const plat::ProfileValue badKey[] = {{"Account1", "a=b", "v"}};
    EXPECT_FALSE(plat::ProfileSetValues(bytes, badKey, 1));
    EXPECT_EQ(before, bytes);
}

} // namespace
