// What a contract test needs from the backend under test that the platform headers do not say.
#pragma once

#include <string>

namespace contract {

// The file name of this test program as the process list shows it; the portable backend's scripted list is
// made to hold it first.
std::string OwnProcessName();

// A folder that holds "prefs.js" and "loop", a link to the folder itself (Windows form, no trailing
// backslash). The portable backend's is made here and removed at exit; under Wine the test runner has made
// it, since a Windows program cannot (and Wine cannot remove a Unix link either).
std::string FolderWithLinkToItself();

// Holds an existing file open as another program would, until ReleaseTestFile: under Wine with CreateFileW
// and share mode 0 (FILE_SHARE_READ when othersMayRead), on the portable backend with its HoldFile.
bool HoldTestFile(const std::string& path, bool othersMayRead);
void ReleaseTestFile(const std::string& path);

} // namespace contract
