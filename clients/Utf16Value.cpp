// Outlook profile text values: UTF-16LE with its terminator, to and from the program's UTF-8.
#include "clients/Utf16Value.h"

#include "clients/Utf16Text.h"

#include <string_view>

BOOL DecodeUtf16Value(const std::string& bytes, std::string& text)
{
    if (bytes.size() < 2 || bytes.size() % 2 != 0)
        return FALSE;
    const std::string_view body = std::string_view(bytes).substr(0, bytes.size() - 2);
    if (bytes[bytes.size() - 2] != '\0' || bytes[bytes.size() - 1] != '\0')
        return FALSE;
    for (size_t i = 0; i < body.size(); i += 2) {
        if (body[i] == '\0' && body[i + 1] == '\0')
            return FALSE;
    }
    std::string decoded;
    if (!AppendUtf8FromUtf16Le(body, decoded))
        return FALSE;
    text.swap(decoded);
    return TRUE;
}

BOOL EncodeUtf16Value(const std::string& text, std::string& bytes)
{
    if (text.find('\0') != std::string::npos)
        return FALSE;
    std::string encoded;
    if (!AppendUtf16LeFromUtf8(text, encoded))
        return FALSE;
    encoded.append(2, '\0');
    bytes.swap(encoded);
    return TRUE;
}
