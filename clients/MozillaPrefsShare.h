// CMozillaPrefsShare: the parsed "prefs.js" files that adapters hold, so that Mozilla and Netscape, which
// read the same profiles, parse each file once rather than once each.
#pragma once

#include "clients/MozillaPrefsFile.h"

#include <memory>
#include <string>

class CMozillaPrefsShare
{
public:
    // The parse of bytes read from path: the one an adapter still holds for the same bytes of the same
    // path, or a new one. A holder that is going to edit its parse takes its own copy first (Own).
    static std::shared_ptr<CMozillaPrefsFile> Parsed(const std::string& path, std::string bytes);
    // The parse of path that an adapter holds from a read in this thread's read batch, or null: within one
    // load, the second client of a profile takes the first one's reading of it without reading it again.
    static std::shared_ptr<CMozillaPrefsFile> ReadThisBatch(const std::string& path);
    // Makes file a parse no other holder shares, so that editing it leaves what the others read alone.
    static void Own(std::shared_ptr<CMozillaPrefsFile>& file);
};
