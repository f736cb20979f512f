// CMozillaPrefsShare: the "prefs.js" files one load has parsed, so that Mozilla and Netscape, which read the
// same profiles, read and parse each file once rather than once each.
#pragma once

#include "clients/MozillaPrefsFile.h"
#include "core/LoadContext.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class CMozillaPrefsShare : public CLoadContext::CShared
{
public:
    // The share of the load under way.
    static CMozillaPrefsShare& Of(CLoadContext& load) { return load.Shared<CMozillaPrefsShare>("prefs.js"); }

    // The parse of the file at path: the one read earlier in this load, or one read now. A file that cannot
    // be read parses as no lines, so that its place in the caller's list is kept.
    std::shared_ptr<CMozillaPrefsFile> Read(const std::string& path);
    // Makes file a parse no other holder shares, so that editing it leaves what the others read alone.
    static void Own(std::shared_ptr<CMozillaPrefsFile>& file);

private:
    std::vector<std::pair<std::string, std::shared_ptr<CMozillaPrefsFile>>> m_read;
};
