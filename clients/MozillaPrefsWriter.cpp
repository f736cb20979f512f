// CMozillaPrefsWriter: rewrites chosen settings of one "prefs.js" in one safe step, after checking them.
#include "clients/MozillaPrefsWriter.h"
#include "clients/StoreFileWrite.h"

#include "Files.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

namespace {

// TRUE when bytes are what writing their own lines would give: every line feed after a carriage return, and
// a line feed at the end (or no bytes at all).
BOOL EndsEveryLineWithCrLf(const std::string& bytes)
{
    if (!bytes.empty() && bytes.back() != '\n')
        return FALSE;
    for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1)) {
        if (at == 0 || bytes[at - 1] != '\r')
            return FALSE;
    }
    return TRUE;
}

// Puts each replaced line in place of the line of that index in bytes, which ends every line with CR+LF.
void SpliceLines(std::string& bytes, const std::vector<const std::string*>& replaced)
{
    // Copied once, the edited lines put in on the way: replacing each in place would move the rest of the
    // file once per edit, and a batch brings thousands.
    std::string output;
    bool any = false;
    size_t copied = 0;
    size_t start = 0;
    for (size_t line = 0; line < replaced.size() && start < bytes.size(); ++line) {
        const size_t end = bytes.find('\n', start);
        if (replaced[line]) {
            if (!any)
                output.reserve(bytes.size() + bytes.size() / 8);
            any = true;
            output.append(bytes, copied, start - copied);
            output += *replaced[line];
            // The CR+LF stays as it was.
            copied = end - 1;
        }
        start = end + 1;
    }
    if (!any)
        return;
    output.append(bytes, copied, std::string::npos);
    bytes.swap(output);
}

} // namespace

BOOL CMozillaPrefsWriter::Commit()
{
    return Commit(m_none);
}

BOOL CMozillaPrefsWriter::Commit(CMozillaPrefsFile& known)
{
    std::string bytes;
    if (!plat::ReadWholeFile(m_path.c_str(), bytes))
        return FALSE;
    // A file of many thousand lines costs more to parse than to read: the caller's lines serve as long as
    // the file has not changed since.
    CMozillaPrefsFile fresh;
    CMozillaPrefsFile* base = &known;
    if (bytes != known.Bytes()) {
        fresh.Load(bytes);
        base = &fresh;
    }
    const CMozillaPrefsFile& file = *base;
    const size_t lineCount = static_cast<size_t>(file.LineCount());

    // The lines that change, by index; every other line is copied as it stands.
    std::vector<const std::string*> replaced(lineCount, nullptr);
    std::vector<bool> removed(lineCount, false);
    size_t removedCount = 0;
    std::vector<int> lineOfEdit(m_edits.size(), -1);
    std::vector<std::pair<int, std::string>> edits;
    std::vector<const std::string*> editKeys;
    size_t appended = 0;
    for (size_t i = 0; i < m_edits.size(); ++i) {
        const Edit& edit = m_edits[i];
        if (!edit.removeLine && !prefs::IsWritableText(edit.lineAfter))
            return FALSE;
        int line = file.FindSetting(edit.key);
        if (edit.removeLine) {
            // A key both taken out and written has no one result.
            for (const Edit& other : m_edits) {
                if (!other.removeLine && other.key == edit.key)
                    return FALSE;
            }
            if (line < 0)
                continue; // gone already, as wanted
            const size_t at = static_cast<size_t>(line);
            if (!edit.wasPresent || file.Line(line) != edit.lineBefore || replaced[at] || removed[at])
                return FALSE;
            removed[at] = true;
            ++removedCount;
            continue;
        }
        if (line >= 0) {
            const std::string_view now = file.Line(line);
            BOOL unchanged = edit.wasPresent && now == edit.lineBefore;
            if ((!unchanged && now != edit.lineAfter) || replaced[static_cast<size_t>(line)] ||
                removed[static_cast<size_t>(line)])
                return FALSE;
            replaced[static_cast<size_t>(line)] = &edit.lineAfter;
            lineOfEdit[i] = line;
            edits.push_back({line, edit.lineAfter});
            editKeys.push_back(&edit.key);
        } else if (edit.wasPresent) {
            // The setting has gone since it was read: the file is not what the account was read from.
            return FALSE;
        } else if (edit.addWhenAbsent) {
            lineOfEdit[i] = static_cast<int>(lineCount + appended++);
            edits.push_back({lineOfEdit[i], edit.lineAfter});
            editKeys.push_back(&edit.key);
        }
    }

    std::string output;
    if (removedCount == 0 && EndsEveryLineWithCrLf(bytes)) {
        // Already in the written form: the new content is the old one with the edited lines put in, and no
        // other line is copied one by one.
        output.swap(bytes);
        SpliceLines(output, replaced);
    } else {
        output.reserve(bytes.size() + 2 * lineCount + 256);
        for (size_t i = 0; i < lineCount; ++i) {
            if (removed[i])
                continue;
            if (replaced[i])
                output += *replaced[i];
            else
                output += file.Line(static_cast<int>(i));
            output += "\r\n";
        }
    }
    for (const auto& edit : edits) {
        if (static_cast<size_t>(edit.first) >= lineCount) {
            output += edit.second;
            output += "\r\n";
        }
    }
    // A line appended behind a comment that is never closed would not be read by the client, nor would a
    // line put where a comment ends: each new line must stand as its setting where it goes, and then no other
    // line reads otherwise. When that cannot be told line by line, the result is read whole.
    // A line taken out moves the ones after it up: the result is read whole, and the edits' lines counted
    // anew.
    BOOL stands = removedCount == 0;
    if (removedCount > 0) {
        std::vector<int> removedBefore(lineCount + 1, 0);
        for (size_t i = 0; i < lineCount; ++i)
            removedBefore[i + 1] = removedBefore[i] + (removed[i] ? 1 : 0);
        for (int& line : lineOfEdit) {
            if (line >= 0)
                line -= removedBefore[std::min(static_cast<size_t>(line), lineCount)];
        }
    }
    // A batch brings thousands of edits: their keys are told apart by a set, not pair by pair.
    std::unordered_set<std::string_view> seenKeys;
    seenKeys.reserve(edits.size());
    for (size_t i = 0; stands && i < edits.size(); ++i) {
        stands = file.EditStands(edits[i].first, edits[i].second, *editKeys[i]);
        // Two lines for one key: only the later counts, which the result read whole tells.
        stands = stands && seenKeys.insert(*editKeys[i]).second;
    }
    CMozillaPrefsFile check;
    if (!stands) {
        check.Load(output);
        for (size_t i = 0; i < m_edits.size(); ++i) {
            const int found = check.FindSetting(m_edits[i].key);
            if (m_edits[i].removeLine ? found >= 0 : lineOfEdit[i] >= 0 && found != lineOfEdit[i])
                return FALSE;
        }
    }
    // Another adapter of the same profile wrote these lines already: the file is left as it is.
    if (output != file.Bytes() && !ReplaceStoreFile(m_path, output))
        return FALSE;
    m_written = &known;
    m_lineOfEdit.swap(lineOfEdit);
    if (!stands) {
        known = std::move(check);
    } else {
        base->ApplyEdits(edits, std::move(output));
        if (base != &known)
            known = std::move(fresh);
    }
    return TRUE;
}
