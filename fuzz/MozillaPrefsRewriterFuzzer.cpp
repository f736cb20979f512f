// Fuzz target: rewriting settings of a Mozilla "prefs.js" in place, with the file's other lines kept and a
// refused rewrite leaving the file as it was.
#include "FuzzInput.h"
#include "FuzzScratch.h"

#include "clients/MozillaPrefsFile.h"
#include "clients/MozillaPrefsWriter.h"
#include "Files.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CFuzzScratch& scratch = CFuzzScratch::Get();
    // Only the one file this target writes, rewritten each time.
    CFuzzInput input(data, size);

    struct Planned
    {
        std::string key;
        std::string value;
        int flags;
    };
    std::vector<Planned> planned(input.Choice(4));
    for (Planned& plan : planned) {
        plan.flags = input.Byte();
        // Mostly the adapter's own keys; sometimes others, which the reader leaves unparsed until asked for.
        plan.key = plan.flags & 8 ? input.Text(40) : "mail.server." + input.Text(40) + ".userName";
        plan.value = input.Text(80);
    }
    const std::string bytes = input.Rest();
    const std::string path = scratch / "prefs.js";
    FUZZ_CHECK(CFuzzScratch::WriteFile(path, bytes));

    CMozillaPrefsFile before;
    before.Load(bytes);
    CMozillaPrefsWriter writer(path);
    std::vector<CMozillaPrefsWriter::Edit> edits;
    for (const Planned& plan : planned) {
        // The edit as an adapter makes it from the file it read; sometimes with a stale line, as when the
        // client changed the file since.
        CMozillaPrefsWriter::Edit edit;
        edit.key = plan.key;
        const int line = before.FindSetting(plan.key);
        edit.wasPresent = line >= 0;
        if (edit.wasPresent)
            edit.lineBefore = before.Lines()[static_cast<size_t>(line)];
        if (plan.flags & 1)
            edit.lineBefore += "x";
        edit.lineAfter = prefs::FormatStringSetting(plan.key, plan.value);
        edit.addWhenAbsent = (plan.flags & 2) != 0;
        // Sometimes the line is to go, as a real name equal to the plain one does.
        edit.removeLine = (plan.flags & 32) != 0;
        writer.AddEdit(edit);
        edits.push_back(edit);
    }

    // Half the inputs commit with the lines already read, as the adapter does, which skips reading them
    // again.
    const bool withKnown = (planned.empty() ? 0 : planned[0].flags & 4) != 0;
    CMozillaPrefsFile known(planned.empty() || !(planned[0].flags & 16) ? CMozillaPrefsFile::kMailKeys : "");
    if (withKnown)
        known.Load(bytes);
    std::string after;
    if (!(withKnown ? writer.Commit(known) : writer.Commit())) {
        if (withKnown)
            FUZZ_CHECK(known.Bytes() == bytes);
        FUZZ_CHECK(plat::ReadWholeFile(path.c_str(), after) && after == bytes);
        std::vector<plat::DirEntry> entries;
        plat::ListDirectory(scratch.Root().c_str(), entries);
        // ".", "..", the temporary folder and the file: nothing left over beside it.
        FUZZ_CHECK(entries.size() == 4);
        return 0;
    }
    FUZZ_CHECK(plat::ReadWholeFile(path.c_str(), after) && after == writer.WrittenBytes());
    CMozillaPrefsFile reread("");
    reread.Load(after);
    if (withKnown) {
        // The lines the caller keeps read as the file read afresh does.
        FUZZ_CHECK(known.Bytes() == after && known.Lines() == reread.Lines());
        for (int line = 0; line < reread.LineCount(); ++line) {
            std::string a, b;
            FUZZ_CHECK(known.GetString(line, a) == reread.GetString(line, b) && a == b);
        }
        for (const CMozillaPrefsWriter::Edit& edit : edits)
            FUZZ_CHECK(known.FindSetting(edit.key) == reread.FindSetting(edit.key));
    }
    // Every line not taken out is still there in its order, edited lines replaced, appended ones at the end.
    const std::vector<std::string> readLines = before.Lines();
    std::vector<char> removed(readLines.size(), 0);
    for (size_t i = 0; i < edits.size(); ++i) {
        if (!edits[i].removeLine)
            continue;
        FUZZ_CHECK(writer.LineOfEdit(i) < 0 && reread.FindSetting(edits[i].key) < 0);
        const int line = before.FindSetting(edits[i].key);
        if (line >= 0)
            removed[static_cast<size_t>(line)] = 1;
    }
    std::vector<std::string> oldLines;
    for (size_t i = 0; i < readLines.size(); ++i) {
        if (!removed[i])
            oldLines.push_back(readLines[i]);
    }
    const std::vector<std::string>& newLines = reread.Lines();
    FUZZ_CHECK(newLines.size() >= oldLines.size());
    std::vector<char> edited(newLines.size(), 0);
    for (size_t i = 0; i < edits.size(); ++i) {
        if (edits[i].removeLine)
            continue;
        const int line = writer.LineOfEdit(i);
        if (line < 0) {
            FUZZ_CHECK(!edits[i].addWhenAbsent && before.FindSetting(edits[i].key) < 0);
            continue;
        }
        FUZZ_CHECK(static_cast<size_t>(line) < newLines.size());
        FUZZ_CHECK(newLines[static_cast<size_t>(line)] == edits[i].lineAfter);
        FUZZ_CHECK(reread.FindSetting(edits[i].key) == line);
        std::string value;
        FUZZ_CHECK(reread.GetString(line, value));
        edited[static_cast<size_t>(line)] = 1;
    }
    for (size_t i = 0; i < oldLines.size(); ++i) {
        if (!edited[i])
            FUZZ_CHECK(newLines[i] == oldLines[i]);
    }
    for (size_t i = oldLines.size(); i < newLines.size(); ++i)
        FUZZ_CHECK(edited[i]);
    return 0;
}
