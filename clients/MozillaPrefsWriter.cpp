// CMozillaPrefsWriter: rewrites chosen settings of one "prefs.js" in one safe step, after checking them.
#include "clients/MozillaPrefsWriter.h"

#include "clients/MozillaPrefsFile.h"
#include "Files.h"

BOOL CMozillaPrefsWriter::Commit()
{
    std::string bytes;
    if (!plat::ReadWholeFile(m_path.c_str(), bytes))
        return FALSE;
    CMozillaPrefsFile file;
    file.Load(bytes);
    std::vector<std::string> lines = file.Lines();

    std::vector<int> lineOfEdit(m_edits.size(), -1);
    std::vector<char> claimed(lines.size(), 0);
    std::vector<std::string> appended;
    for (size_t i = 0; i < m_edits.size(); ++i) {
        const Edit& edit = m_edits[i];
        if (!CMozillaPrefsFile::IsWritableText(edit.lineAfter))
            return FALSE;
        int line = file.FindSetting(edit.key);
        if (line >= 0) {
            std::string& now = lines[static_cast<size_t>(line)];
            BOOL unchanged = edit.wasPresent && now == edit.lineBefore;
            if ((!unchanged && now != edit.lineAfter) || claimed[static_cast<size_t>(line)])
                return FALSE;
            claimed[static_cast<size_t>(line)] = 1;
            now = edit.lineAfter;
            lineOfEdit[i] = line;
        } else if (edit.wasPresent) {
            // The setting has gone since it was read: the file is not what the account was read from.
            return FALSE;
        } else if (edit.addWhenAbsent) {
            lineOfEdit[i] = static_cast<int>(lines.size() + appended.size());
            appended.push_back(edit.lineAfter);
        }
    }
    lines.insert(lines.end(), appended.begin(), appended.end());

    std::string output;
    for (const std::string& line : lines) {
        output += line;
        output += "\r\n";
    }
    // A line appended behind a comment that is never closed would not be read by the client: check the
    // result as the client will see it before it goes anywhere.
    CMozillaPrefsFile check;
    check.Load(output);
    for (size_t i = 0; i < m_edits.size(); ++i) {
        if (lineOfEdit[i] >= 0 && check.FindSetting(m_edits[i].key) != lineOfEdit[i])
            return FALSE;
    }
    if (!plat::ReplaceWholeFile(m_path.c_str(), output))
        return FALSE;
    m_written.swap(output);
    m_lineOfEdit.swap(lineOfEdit);
    return TRUE;
}
