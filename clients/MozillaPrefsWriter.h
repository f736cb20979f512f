// CMozillaPrefsWriter: rewrites chosen settings of one "prefs.js" in one safe step, after checking them.
#pragma once

#include "clients/MozillaPrefsFile.h"
#include "PlatTypes.h"

#include <string>
#include <vector>

class CMozillaPrefsWriter
{
public:
    // One setting to write. The line that held it when the file was read (if it was there) tells whether
    // somebody else has changed it since.
    struct Edit
    {
        std::string key;
        BOOL wasPresent = FALSE;
        std::string lineBefore;
        std::string lineAfter;
        BOOL addWhenAbsent = FALSE; // append lineAfter when the file has no line for the key
        BOOL removeLine = FALSE;    // take the key's line out instead (lineAfter unused); absent is done
    };

    explicit CMozillaPrefsWriter(const std::string& path) : m_path(path) {}

    void AddEdit(const Edit& edit) { m_edits.push_back(edit); }

    // Reads the file as it is now and replaces the line of each edit's key, or appends it when allowed. Each
    // such line must still be the one read, or already the one to write (another adapter of the same profile
    // wrote it); otherwise nothing is written. Every other line is kept as it stands now; each line ends with
    // CR+LF. A removed key must read as unset afterwards (no earlier line of it comes into force). The new
    // content takes the old one's place in one step. FALSE, with the file as it was, on any
    // failure.
    BOOL Commit();
    // The same for a caller that keeps the file's lines: known is the file as the caller read it. When the
    // file still holds exactly those bytes they are not read a second time, and after a successful Commit
    // known holds the file as written (on failure it is left as it was).
    BOOL Commit(CMozillaPrefsFile& known);

    // After a successful Commit: the bytes written (those of the file that known holds, while it does), and
    // the line of each edit's setting (-1 when absent or removed).
    const std::string& WrittenBytes() const { return m_written ? m_written->Bytes() : m_none.Bytes(); }
    int LineOfEdit(size_t edit) const { return edit < m_lineOfEdit.size() ? m_lineOfEdit[edit] : -1; }

private:
    std::string m_path;
    std::vector<Edit> m_edits;
    const CMozillaPrefsFile* m_written = nullptr;
    CMozillaPrefsFile m_none; // the file of a Commit without a caller's file
    std::vector<int> m_lineOfEdit;
};
