// profiles.ini: its sections taken apart line by line, and a profile's folder made a Windows path.
#include "clients/MozillaProfilesIni.h"

#include <string_view>
#include <utility>

namespace {

struct Section
{
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;

    const std::string* Find(const char* key) const
    {
        // The last of a repeated key counts.
        for (size_t i = keys.size(); i-- > 0;) {
            if (keys[i].first == key)
                return &keys[i].second;
        }
        return nullptr;
    }
};

std::string_view Trim(std::string_view text)
{
    size_t from = 0;
    size_t to = text.size();
    while (from < to && (text[from] == ' ' || text[from] == '\t'))
        ++from;
    while (to > from && (text[to - 1] == ' ' || text[to - 1] == '\t'))
        --to;
    return text.substr(from, to - from);
}

bool IsProfileSection(const std::string& name)
{
    const size_t prefix = 7; // "Profile"
    if (name.size() <= prefix || name.compare(0, prefix, "Profile") != 0)
        return false;
    for (size_t i = prefix; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return false;
    }
    return true;
}

std::vector<Section> ReadSections(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<Section> sections;
    Section* current = nullptr;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = Trim(text.substr(at, end - at));
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            const size_t close = line.find(']');
            if (close == std::string_view::npos) {
                // A broken header: its keys must not land in the section before it.
                current = nullptr;
                continue;
            }
            const std::string name(Trim(line.substr(1, close - 1)));
            current = nullptr;
            for (Section& section : sections) {
                if (section.name == name)
                    current = &section;
            }
            if (!current) {
                sections.push_back(Section{name, {}});
                current = &sections.back();
            }
            continue;
        }
        const size_t equals = line.find('=');
        if (!current || equals == std::string_view::npos)
            continue;
        current->keys.emplace_back(std::string(Trim(line.substr(0, equals))),
                                   std::string(Trim(line.substr(equals + 1))));
    }
    return sections;
}

bool IsDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

} // namespace

BOOL ParseMozillaProfilesIni(const std::string& text, std::vector<MozillaProfile>& profiles)
{
    profiles.clear();
    const std::vector<Section> sections = ReadSections(text);
    BOOL whole = sections.empty() ? FALSE : TRUE;
    for (const Section& section : sections) {
        if (!IsProfileSection(section.name))
            continue;
        const std::string* path = section.Find("Path");
        if (!path || path->empty()) {
            whole = FALSE;
            continue;
        }
        MozillaProfile profile;
        profile.section = section.name;
        profile.path = *path;
        const std::string* name = section.Find("Name");
        if (name)
            profile.name = *name;
        const std::string* relative = section.Find("IsRelative");
        profile.isRelative = relative && *relative == "1";
        const std::string* isDefault = section.Find("Default");
        profile.isDefault = isDefault && *isDefault == "1";
        profiles.push_back(std::move(profile));
    }
    return whole;
}

BOOL ResolveMozillaProfilePath(const std::string& baseFolder, const MozillaProfile& profile,
                               std::string& path)
{
    const std::string& written = profile.path;
    if (!profile.isRelative) {
        const bool drive =
            written.size() >= 3 && IsDriveLetter(written[0]) && written[1] == ':' && IsSeparator(written[2]);
        const bool unc = written.size() >= 3 && IsSeparator(written[0]) && IsSeparator(written[1]) &&
                         !IsSeparator(written[2]);
        if (!drive && !unc)
            return FALSE;
        std::string windows = written;
        for (char& c : windows) {
            if (c == '/')
                c = '\\';
        }
        path.swap(windows);
        return TRUE;
    }
    // A relative path that is rooted or names a drive or a stream would lead away from the base folder.
    if (written.empty() || IsSeparator(written[0]) || written.find(':') != std::string::npos)
        return FALSE;
    std::string joined = baseFolder;
    if (joined.empty() || !IsSeparator(joined.back()))
        joined += '\\';
    size_t kept = 0;
    size_t at = 0;
    while (at <= written.size()) {
        size_t end = written.find_first_of("/\\", at);
        if (end == std::string::npos)
            end = written.size();
        const std::string_view part = std::string_view(written).substr(at, end - at);
        at = end + 1;
        if (part.empty() || part == ".")
            continue;
        // Windows cuts trailing dots and blanks off a name, so ". ." or "..." could climb out as ".." does.
        if (part.back() == '.' || part.back() == ' ')
            return FALSE;
        if (kept++ > 0)
            joined += '\\';
        joined.append(part.data(), part.size());
    }
    if (kept == 0)
        return FALSE;
    path.swap(joined);
    return TRUE;
}
