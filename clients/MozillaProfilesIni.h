// The "profiles.ini" of Thunderbird and SeaMonkey: which profile folders exist, read from its text, and
// where each one lies.
#pragma once

#include "PlatTypes.h"

#include <string>
#include <vector>

// One [ProfileN] section that names a folder.
struct MozillaProfile
{
    std::string section; // "Profile0", ...
    std::string name;    // its Name, empty without one
    std::string path;    // its Path as written
    bool isRelative = false;
    bool isDefault = false;
};

// The profiles of a profiles.ini text, in the order their sections first appear. Lines end in CR LF, LF or
// CR alone; a UTF-8 mark at the start is skipped; blanks around keys and values are dropped; lines starting
// with ";" or "#" are comments. Section and key names are compared exactly, as the clients do. A profile
// section is "Profile" and digits; every other section ([General], [InstallXXXX], ...) is passed over. A
// section named twice is one section; a key given twice counts with its last value. IsRelative "1" means
// relative, anything else (or none) absolute; Default "1" marks the default profile.
// FALSE when the text has no section at all, or some profile section has no Path or an empty one: the file
// is then not what the client writes. profiles holds the profiles with a Path in either case.
BOOL ParseMozillaProfilesIni(const std::string& text, std::vector<MozillaProfile>& profiles);

// The Windows path of a profile's folder. A relative Path is joined to baseFolder (the folder of
// profiles.ini) with "\", its "/" separators turned into "\"; FALSE for one that is empty, rooted, names a
// drive or holds a ":", or has a ".." component that would climb out, or any other component ending in a dot
// or a blank, which Windows would cut to something else ("." and empty components are dropped).
// An absolute Path must start with a drive ("C:\" or "C:/") or be a UNC path, and comes back with "\"
// separators; FALSE for anything else.
BOOL ResolveMozillaProfilePath(const std::string& baseFolder, const MozillaProfile& profile,
                               std::string& path);
