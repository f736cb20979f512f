// CTheBatAccountFile: parsing, field access and writing of The Bat!'s binary account records.
#include "clients/TheBatAccountFile.h"

#include "clients/TheBatLoginCodec.h"

#include <cstring>

namespace {

const size_t kHeaderSize = 8;
const size_t kNumberSize = 4;
const size_t kProtocolByte = 5;

DWORD ReadWord(const std::string& bytes, size_t offset)
{
    DWORD value = 0;
    for (size_t k = 0; k < 4; ++k)
        value |= static_cast<DWORD>(static_cast<unsigned char>(bytes[offset + k])) << (8 * k);
    return value;
}

void AppendWord(std::string& bytes, DWORD value)
{
    for (size_t k = 0; k < 4; ++k)
        bytes += static_cast<char>((value >> (8 * k)) & 0xFF);
}

BOOL EqualsNoCase(const std::string& a, const char* b)
{
    const size_t length = std::strlen(b);
    if (a.size() != length)
        return FALSE;
    for (size_t i = 0; i < length; ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return FALSE;
    }
    return TRUE;
}

} // namespace

BOOL CTheBatAccountFile::Parse(const std::string& bytes)
{
    m_records.clear();
    const size_t total = bytes.size();
    // The records are counted first, so that the list is made once, not grown record by record.
    size_t count = 0;
    for (size_t at = 0; total - at >= kHeaderSize; ++count) {
        const DWORD length = ReadWord(bytes, at + 4);
        if (length > total - at - kHeaderSize)
            break;
        at += kHeaderSize + length;
    }
    m_records.reserve(count);
    size_t position = 0;
    while (position < total) {
        // Lengths are checked against what is left, never added to the position first: a length near
        // 4 GiB must not wrap around or make us allocate it.
        if (total - position < kHeaderSize)
            return FALSE;
        TheBatRecord record;
        record.id = ReadWord(bytes, position);
        const DWORD length = ReadWord(bytes, position + 4);
        position += kHeaderSize;
        if (length > total - position)
            return FALSE;
        record.data.assign(bytes, position, length);
        position += length;
        m_records.push_back(std::move(record));
    }
    return TRUE;
}

std::string CTheBatAccountFile::Serialize() const
{
    size_t size = 0;
    for (const TheBatRecord& record : m_records)
        size += kHeaderSize + record.data.size();
    std::string bytes;
    bytes.reserve(size);
    for (const TheBatRecord& record : m_records) {
        AppendWord(bytes, record.id);
        AppendWord(bytes, static_cast<DWORD>(record.data.size()));
        bytes += record.data;
    }
    return bytes;
}

int CTheBatAccountFile::FindRecord(DWORD id) const
{
    for (size_t i = 0; i < m_records.size(); ++i) {
        if (m_records[i].id == id)
            return static_cast<int>(i);
    }
    return -1;
}

BOOL CTheBatAccountFile::GetStringField(DWORD id, std::string& text) const
{
    const int index = FindRecord(id);
    if (index < 0)
        return FALSE;
    const std::string& data = m_records[index].data;
    if (data.size() < kNumberSize)
        return FALSE;
    size_t end = data.find('\0', kNumberSize);
    if (end == std::string::npos)
        end = data.size();
    for (size_t i = end; i < data.size(); ++i) {
        if (data[i] != '\0')
            return FALSE;
    }
    text.assign(data, kNumberSize, end - kNumberSize);
    return TRUE;
}

BOOL CTheBatAccountFile::SetStringField(DWORD id, const std::string& text)
{
    const int index = FindRecord(id);
    if (index < 0 || text.size() > 0xFFFFFFF0u)
        return FALSE;
    std::string data;
    data.reserve(kNumberSize + text.size());
    AppendWord(data, static_cast<DWORD>(text.size()));
    data += text;
    m_records[index].data.swap(data);
    return TRUE;
}

BOOL CTheBatAccountFile::GetNumberField(DWORD id, DWORD& value) const
{
    const int index = FindRecord(id);
    if (index < 0 || m_records[index].data.size() < kNumberSize)
        return FALSE;
    value = ReadWord(m_records[index].data, 0);
    return TRUE;
}

BOOL CTheBatAccountFile::SetNumberField(DWORD id, DWORD value)
{
    const int index = FindRecord(id);
    if (index < 0)
        return FALSE;
    std::string data;
    AppendWord(data, value);
    m_records[index].data.swap(data);
    return TRUE;
}

BOOL CTheBatAccountFile::GetEncodedField(DWORD id, std::string& text) const
{
    std::string stored;
    if (!GetStringField(id, stored))
        return FALSE;
    if (stored.empty()) {
        text.clear();
        return TRUE;
    }
    std::string decoded;
    if (!CTheBatLoginCodec::DecodeValue(stored, decoded))
        return FALSE;
    // A zero byte could not travel whole through the proxy user name or the dialogs.
    if (decoded.find('\0') != std::string::npos)
        return FALSE;
    text.swap(decoded);
    return TRUE;
}

BOOL CTheBatAccountFile::SetEncodedField(DWORD id, const std::string& text)
{
    if (FindRecord(id) < 0)
        return FALSE;
    std::string stored;
    if (!text.empty() && !CTheBatLoginCodec::EncodeValue(text, stored))
        return FALSE;
    return SetStringField(id, stored);
}

std::string CTheBatAccountFile::GetProtocolText() const
{
    const int index = FindRecord(THEBAT_RECORD_PROTOCOL);
    if (index < 0 || m_records[index].data.size() <= kProtocolByte)
        return std::string();
    const unsigned char flags = static_cast<unsigned char>(m_records[index].data[kProtocolByte]);
    return (flags & 0x0A) == 0x08 ? "POP3" : "IMAP";
}

std::string CTheBatAccountFile::GetAuthModeText() const
{
    DWORD mode = 0;
    if (!GetNumberField(THEBAT_RECORD_AUTH, mode))
        return std::string();
    switch (mode) {
    case 0:
        return "Normal";
    case 1:
        return "APOP";
    case 2:
        return "SPA";
    default:
        return std::string();
    }
}

BOOL CTheBatAccountFile::SetAuthModeText(const std::string& text)
{
    if (EqualsNoCase(text, "Normal"))
        return SetNumberField(THEBAT_RECORD_AUTH, 0);
    if (EqualsNoCase(text, "APOP"))
        return SetNumberField(THEBAT_RECORD_AUTH, 1);
    if (EqualsNoCase(text, "SPA"))
        return SetNumberField(THEBAT_RECORD_AUTH, 2);
    return FALSE;
}
