// Rewriting prefs.js with the lines the caller already read: the same file results as when it is read anew,
// the caller's lines become those written, and an edit that cannot be judged line by line is judged whole.
#include "support/TestScopes.h"

#include "clients/MozillaPrefsFile.h"
#include "clients/MozillaPrefsWriter.h"
#include "Files.h"
#include "fixtures/SampleWriter.h"

#include <gtest/gtest.h>

namespace {

CMozillaPrefsWriter::Edit Edit(const CMozillaPrefsFile& file, const std::string& key,
                               const std::string& value, BOOL add)
{
    CMozillaPrefsWriter::Edit edit;
    edit.key = key;
    const int line = file.FindSetting(key);
    edit.wasPresent = line >= 0;
    if (edit.wasPresent)
        edit.lineBefore = file.Lines()[static_cast<size_t>(line)];
    edit.lineAfter = CMozillaPrefsFile::FormatStringSetting(key, value);
    edit.addWhenAbsent = add;
    return edit;
}

std::string FileBytes(const std::string& path)
{
    std::string bytes = "<unreadable>";
    plat::ReadWholeFile(path.c_str(), bytes);
    return bytes;
}

TEST(MozillaPrefsKnownLines, SameResultAsReadingAnewAndTheLinesFollow)
{
    CTestFolder folder;
    const struct
    {
        const char* what;
        std::string text;
        BOOL written;
    } rows[] = {
        {"CR+LF file", "user_pref(\"a\", \"1\");\r\n/* x */\r\nuser_pref(\"b\", \"2\");\r\n", TRUE},
        {"LF file without a last line end", "user_pref(\"a\", \"1\");\n# c\nuser_pref(\"b\", \"2\");", TRUE},
        // The line to replace closes a comment: a plain setting line put there would be inside it.
        {"setting after a comment's end",
         "/* open\r\n*/ user_pref(\"a\", \"1\");\r\nuser_pref(\"b\", \"2\");\r\n", FALSE},
        // A comment left open at the end swallows any line added after it.
        {"open comment at the end", "user_pref(\"a\", \"1\");\r\n/* never closed\r\n", FALSE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string path = folder / "prefs.js";
        ASSERT_TRUE(SampleFile(path, row.text));
        CMozillaPrefsFile known;
        known.Load(row.text);
        CMozillaPrefsWriter writer(path);
        writer.AddEdit(Edit(known, "a", "proxy/pop.mail.example/110", FALSE));
        writer.AddEdit(Edit(known, "c", "added", TRUE));
        ASSERT_EQ(row.written, writer.Commit(known));
        if (!row.written) {
            EXPECT_EQ(row.text, FileBytes(path));
            EXPECT_EQ(row.text, known.Bytes());
            continue;
        }
        CMozillaPrefsFile anew;
        anew.Load(FileBytes(path));
        EXPECT_EQ(anew.Bytes(), known.Bytes());
        EXPECT_EQ(anew.Lines(), known.Lines());
        for (const char* key : {"a", "b", "c"}) {
            EXPECT_EQ(anew.FindSetting(key), known.FindSetting(key)) << key;
            std::string fromAnew, fromKnown;
            EXPECT_TRUE(known.GetString(known.FindSetting(key), fromKnown)) << key;
            anew.GetString(anew.FindSetting(key), fromAnew);
            EXPECT_EQ(fromAnew, fromKnown) << key;
        }
        // A second write starts from the lines the first one left.
        CMozillaPrefsWriter again(path);
        again.AddEdit(Edit(known, "c", "again", TRUE));
        ASSERT_TRUE(again.Commit(known));
        std::string value;
        ASSERT_TRUE(known.GetString(known.FindSetting("c"), value));
        EXPECT_EQ("again", value);
        EXPECT_EQ(FileBytes(path), known.Bytes());
    }
}

TEST(MozillaPrefsKnownLines, AFileChangedSinceIsReadAnew)
{
    CTestFolder folder;
    const std::string path = folder / "prefs.js";
    ASSERT_TRUE(SampleFile(path, "user_pref(\"a\", \"1\");\r\n"));
    CMozillaPrefsFile known;
    known.Load("user_pref(\"a\", \"1\");\r\n");
    // The client added a line meanwhile: it is kept, and the caller's lines take it too.
    ASSERT_TRUE(SampleFile(path, "user_pref(\"a\", \"1\");\r\nuser_pref(\"z\", \"9\");\r\n"));
    CMozillaPrefsWriter writer(path);
    writer.AddEdit(Edit(known, "a", "2", FALSE));
    ASSERT_TRUE(writer.Commit(known));
    EXPECT_EQ("user_pref(\"a\", \"2\");\r\nuser_pref(\"z\", \"9\");\r\n", FileBytes(path));
    EXPECT_EQ(1, known.FindSetting("z"));
    EXPECT_EQ(FileBytes(path), known.Bytes());
}

TEST(MozillaPrefsKnownLines, TwoLinesAddedForOneKeyAreRefused)
{
    CTestFolder folder;
    const std::string path = folder / "prefs.js";
    const std::string text = "user_pref(\"a\", \"1\");\r\n";
    ASSERT_TRUE(SampleFile(path, text));
    CMozillaPrefsFile known;
    known.Load(text);
    // Only the later of the two would count: the first edit could not be read back as written.
    CMozillaPrefsWriter writer(path);
    writer.AddEdit(Edit(known, "c", "first", TRUE));
    writer.AddEdit(Edit(known, "c", "second", TRUE));
    EXPECT_FALSE(writer.Commit(known));
    EXPECT_EQ(text, FileBytes(path));
    EXPECT_EQ(text, known.Bytes());
}

} // namespace
