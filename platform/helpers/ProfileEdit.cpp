// ProfileSetValues: the values spelt in the file's encoding, then set by one edit of the parsed document.
#include "ProfileEdit.h"
#include "ProfileDocument.h"
#include "ProfileGuard.h"
#include "TextEncoding.h"

#include <string_view>
#include <vector>

namespace plat {

BOOL SpellForProfile(const CProfileDocument& document, const char* text, std::string& spelled)
{
    if (!text)
        return TRUE;
    // The code page must hold it even in a UTF-8 file, as the Windows functions' A form would need.
    if (!Utf8ToCodePage(text, spelled))
        return FALSE;
    if (document.HoldsUtf8())
        spelled = text;
    return TRUE;
}

namespace {

// TRUE when a value after the i-th sets the same key.
bool IsSetLater(const std::vector<ProfileValue>& values, size_t i)
{
    const std::string section = TrimProfileText(values[i].section);
    const std::string key = TrimProfileText(values[i].key);
    for (size_t j = i + 1; j < values.size(); ++j) {
        if (SameProfileName(TrimProfileText(values[j].section), section) &&
            SameProfileName(TrimProfileText(values[j].key), key))
            return true;
    }
    return false;
}

} // namespace

BOOL IsPlainProfileText(const std::string& bytes)
{
    if (bytes.size() >= 2 &&
        ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
        return FALSE;
    return bytes.find('\0') == std::string::npos ? TRUE : FALSE;
}

BOOL ProfileSetValues(std::string& bytes, const ProfileValue* values, size_t count)
{
    if (!IsPlainProfileText(bytes))
        return FALSE;
    try {
        CProfileDocument document(bytes);
        std::vector<ProfileValue> spelled(count);
        for (size_t i = 0; i < count; ++i) {
            const ProfileValue& value = values[i];
            const std::string nul(1, '\0');
            if (value.section.find(nul) != std::string::npos || value.key.find(nul) != std::string::npos ||
                value.value.find(nul) != std::string::npos ||
                !IsSafeProfileWrite(value.section.c_str(), value.key.c_str(), value.value.c_str()) ||
                !SpellForProfile(document, value.section.c_str(), spelled[i].section) ||
                !SpellForProfile(document, value.key.c_str(), spelled[i].key) ||
                !SpellForProfile(document, value.value.c_str(), spelled[i].value))
                return FALSE;
        }
        document.SetValues(spelled.data(), count);
        // Each value must read back as given: none that the profile functions would trim or unquote. The
        // last value set for a key is what it holds.
        for (size_t i = 0; i < count; ++i) {
            const std::string& text = spelled[i].value;
            std::string_view readBack;
            if (!document.FindValue(spelled[i].section.c_str(), spelled[i].key.c_str(), readBack))
                return FALSE;
            if (text.empty() || UnquotedProfileValue(text).size() != text.size())
                return FALSE;
            if (readBack != text && !IsSetLater(spelled, i))
                return FALSE;
        }
        bytes = document.Bytes();
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

} // namespace plat
