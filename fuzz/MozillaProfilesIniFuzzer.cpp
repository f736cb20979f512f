// Fuzz target: Thunderbird's profiles.ini: any text read into profiles, their folders resolved without
// leaving the base folder, and profiles written as the client writes them read back unchanged.
#include "FuzzInput.h"
#include "FuzzScratch.h"

#include "clients/MozillaProfilesIni.h"

#include <cstddef>
#include <cstdint>

namespace {

const char kBase[] = "C:\\Users\\anna\\AppData\\Roaming\\Thunderbird";

// A written value as the parser keeps it: one line, no blanks at its ends.
bool IsPlainValue(const std::string& text)
{
    return !text.empty() && text.find_first_of("\r\n") == std::string::npos && text.front() != ' ' &&
           text.front() != '\t' && text.back() != ' ' && text.back() != '\t';
}

void CheckResolved(const MozillaProfile& profile)
{
    std::string path;
    if (!ResolveMozillaProfilePath(kBase, profile, path))
        return;
    FUZZ_CHECK(path.find('/') == std::string::npos);
    if (!profile.isRelative)
        return;
    const std::string prefix = std::string(kBase) + "\\";
    FUZZ_CHECK(path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0);
    // No component of what was added may climb out or be cut by Windows.
    size_t at = prefix.size();
    while (at <= path.size()) {
        size_t end = path.find('\\', at);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(at, end - at);
        FUZZ_CHECK(!part.empty() && part.back() != '.' && part.back() != ' ' &&
                   part.find(':') == std::string::npos);
        at = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<MozillaProfile> profiles;
    const BOOL whole = ParseMozillaProfilesIni(text, profiles);
    FUZZ_CHECK(!whole || text.find('[') != std::string::npos);
    for (const MozillaProfile& profile : profiles) {
        FUZZ_CHECK(!profile.path.empty() && profile.section.compare(0, 7, "Profile") == 0);
        CheckResolved(profile);
    }

    // Profiles written out as the client writes them come back in the same order.
    CFuzzInput input(data, size);
    std::vector<MozillaProfile> written;
    std::string file = "[General]\r\nStartWithLastProfile=1\r\n\r\n";
    for (size_t count = input.Choice(4); count > 0; --count) {
        MozillaProfile profile;
        profile.section = "Profile" + std::to_string(written.size());
        profile.name = input.Text(30);
        profile.path = input.Text(60);
        profile.isRelative = input.Choice(2) == 1;
        if (!IsPlainValue(profile.name) || !IsPlainValue(profile.path))
            continue;
        file += "[" + profile.section + "]\r\nName=" + profile.name +
                "\r\nIsRelative=" + (profile.isRelative ? "1" : "0") + "\r\nPath=" + profile.path +
                "\r\n\r\n";
        written.push_back(profile);
    }
    std::vector<MozillaProfile> read;
    FUZZ_CHECK(ParseMozillaProfilesIni(file, read));
    FUZZ_CHECK(read.size() == written.size());
    for (size_t i = 0; i < read.size(); ++i) {
        FUZZ_CHECK(read[i].section == written[i].section && read[i].name == written[i].name &&
                   read[i].path == written[i].path && read[i].isRelative == written[i].isRelative);
        CheckResolved(read[i]);
    }
    return 0;
}
