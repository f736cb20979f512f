// COriginalsJournal: the journal file's form (nlohmann-json) and its safe rewrites.
#include "core/OriginalsJournal.h"

#include "Environment.h"
#include "Files.h"
#include "ReadBatch.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <unordered_set>

COriginalsJournal g_originalsJournal;

namespace {

using Json = nlohmann::ordered_json;

const int kFormat = 1;

// TRUE for well-formed UTF-8 (no overlong forms, surrogates or code points past U+10FFFF), as the JSON
// writer demands.
BOOL IsUtf8(const std::string& text)
{
    const size_t size = text.size();
    for (size_t i = 0; i < size;) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        unsigned int code = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            code = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            code = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            code = c & 0x07;
        } else {
            return FALSE;
        }
        if (size - i < length)
            return FALSE;
        for (size_t k = 1; k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return FALSE;
            code = (code << 6) | (next & 0x3F);
        }
        if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (length == 4 && (code < 0x10000 || code > 0x10FFFF)))
            return FALSE;
        i += length;
    }
    return TRUE;
}

// JSON strings are UTF-8; a value that is not (a client's 8-bit text) is kept as its bytes in hex, so that
// every byte comes back.
Json TextToJson(const std::string& text)
{
    if (IsUtf8(text))
        return text;
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : text) {
        hex += kHex[c >> 4];
        hex += kHex[c & 15];
    }
    return Json{{"hex", hex}};
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

BOOL TextFromJson(const Json& value, std::string& text)
{
    if (value.is_string()) {
        text = value.get<std::string>();
        return TRUE;
    }
    if (!value.is_object() || value.size() != 1 || !value.contains("hex") || !value["hex"].is_string())
        return FALSE;
    const std::string& hex = value["hex"].get_ref<const std::string&>();
    if (hex.size() % 2 != 0)
        return FALSE;
    std::string bytes;
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
        if (high < 0 || low < 0)
            return FALSE;
        bytes += static_cast<char>(high * 16 + low);
    }
    text = bytes;
    return TRUE;
}

BOOL IntFromJson(const Json& value, int low, int high, int& out)
{
    if (!value.is_number_integer())
        return FALSE;
    if (value.is_number_unsigned()) {
        const auto number = value.get<unsigned long long>();
        if (number > static_cast<unsigned long long>(high))
            return FALSE;
        out = static_cast<int>(number);
        return low <= out;
    }
    const auto number = value.get<long long>();
    if (number < low || number > high)
        return FALSE;
    out = static_cast<int>(number);
    return TRUE;
}

BOOL EntryFromJson(const Json& item, JournalEntry& entry)
{
    if (!item.is_object())
        return FALSE;
    static const char* const kFields[] = {"client",          "store",  "identity",    "userName",
                                          "server",          "port",   "authMode",    "spaFlag",
                                          "spaFlag present", "secure", "secureStored"};
    for (const char* field : kFields)
        if (!item.contains(field))
            return FALSE;
    PopSettings& real = entry.real;
    if (!TextFromJson(item["client"], entry.client) || !TextFromJson(item["store"], entry.store) ||
        !TextFromJson(item["identity"], entry.identity) || !TextFromJson(item["userName"], real.userName) ||
        !TextFromJson(item["server"], real.server) || !TextFromJson(item["secureStored"], real.secureStored))
        return FALSE;
    if (!IntFromJson(item["port"], INT_MIN, INT_MAX, real.port) ||
        !IntFromJson(item["authMode"], AUTH_NORMAL, AUTH_UNKNOWN, real.authMode) ||
        !IntFromJson(item["spaFlag"], INT_MIN, INT_MAX, real.spaFlag) ||
        !IntFromJson(item["secure"], PROXY_SECURE_NONE, PROXY_SECURE_STLS, real.secure))
        return FALSE;
    if (!item["spaFlag present"].is_boolean())
        return FALSE;
    real.spaFlagPresent = item["spaFlag present"].get<bool>() ? TRUE : FALSE;
    return !entry.client.empty() && !entry.store.empty();
}

// One text for an account's client, store and identity; the lengths keep any two accounts apart, even
// those of a hand-edited file whose names hold what a separator would.
std::string AccountKey(const std::string& client, const std::string& store, const std::string& identity)
{
    std::string key = std::to_string(client.size()) + ':' + std::to_string(store.size()) + ':';
    key.reserve(key.size() + client.size() + store.size() + identity.size());
    key.append(client).append(store).append(identity);
    return key;
}

// "YYYYMMDD-hhmmss" (UTC) of a FILETIME count, for the name of a journal set aside.
std::string TimeStamp(unsigned long long ticks)
{
    long long seconds = static_cast<long long>(ticks / 10000000ULL) - 11644473600LL;
    if (seconds < 0)
        seconds = 0;
    long long days = seconds / 86400;
    const long long rest = seconds % 86400;
    // Days since 1970 to a civil date (the proleptic Gregorian calendar).
    days += 719468;
    const long long era = days / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    const long long day = dayOfYear - (153 * mp + 2) / 5 + 1;
    const long long month = mp < 10 ? mp + 3 : mp - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    char text[32];
    std::snprintf(text, sizeof(text), "%04lld%02lld%02lld-%02lld%02lld%02lld", year, month, day, rest / 3600,
                  rest / 60 % 60, rest % 60);
    return text;
}

} // namespace

BOOL ParseJournal(const std::string& bytes, std::vector<JournalEntry>& entries)
{
    if (bytes.empty()) {
        entries.clear();
        return TRUE;
    }
    try {
        const Json document = Json::parse(bytes, nullptr, false);
        if (document.is_discarded() || !document.is_object() || !document.contains("format") ||
            document["format"] != kFormat || !document.contains("entries") || !document["entries"].is_array())
            return FALSE;
        std::vector<JournalEntry> read;
        for (const Json& item : document["entries"]) {
            JournalEntry entry;
            if (!EntryFromJson(item, entry))
                return FALSE;
            read.push_back(std::move(entry));
        }
        entries.swap(read);
        return TRUE;
    } catch (const std::exception&) {
        return FALSE;
    }
}

std::string SerializeJournal(const std::vector<JournalEntry>& entries)
{
    Json list = Json::array();
    for (const JournalEntry& entry : entries) {
        const PopSettings& real = entry.real;
        list.push_back(Json{{"client", TextToJson(entry.client)},
                            {"store", TextToJson(entry.store)},
                            {"identity", TextToJson(entry.identity)},
                            {"userName", TextToJson(real.userName)},
                            {"server", TextToJson(real.server)},
                            {"port", real.port},
                            {"authMode", real.authMode},
                            {"spaFlag", real.spaFlag},
                            {"spaFlag present", real.spaFlagPresent ? true : false},
                            {"secure", real.secure},
                            {"secureStored", TextToJson(real.secureStored)}});
    }
    const Json document{{"format", kFormat}, {"entries", list}};
    return document.dump(1, '\t') + "\n";
}

void COriginalsJournal::SetPath(const std::string& path)
{
    m_path = path;
    m_read = FALSE;
    m_readBatch = 0;
    m_bytes.clear();
    m_entries.clear();
    m_index.clear();
}

BOOL COriginalsJournal::UseDefaultPath()
{
    std::string folder;
    if (!plat::AppDataFolder(folder) || folder.empty())
        return FALSE;
    SetPath(folder + "\\Nimbrel\\journal.json");
    return TRUE;
}

void COriginalsJournal::Refresh()
{
    if (m_path.empty())
        return;
    std::string bytes;
    if (!plat::PathExists(m_path.c_str()) || !plat::ReadWholeFile(m_path.c_str(), bytes))
        bytes.clear();
    if (m_read && bytes == m_bytes)
        return;
    m_read = TRUE;
    m_bytes = bytes;
    if (!ParseJournal(bytes, m_entries)) {
        m_entries.clear();
        SetAside();
    }
    Reindex();
}

void COriginalsJournal::SetAside()
{
    // Renamed by copy: the damaged bytes stay for whoever wants to look, and the journal starts empty.
    const std::string base = m_path + ".damaged-" + TimeStamp(plat::FileTimeNow());
    std::string aside = base;
    for (int n = 2; plat::PathExists(aside.c_str()) && n < 100; ++n)
        aside = base + "-" + std::to_string(n);
    if (plat::PathExists(aside.c_str()) || !plat::ReplaceWholeFile(aside.c_str(), m_bytes) ||
        !plat::RemoveFile(m_path.c_str())) {
        m_notices.push_back({JOURNAL_DAMAGED_LOST, m_path});
        return;
    }
    m_bytes.clear();
    m_notices.push_back({JOURNAL_SET_ASIDE, aside});
}

BOOL COriginalsJournal::Save()
{
    // Nothing left to give back: no file at all, as before the first account was configured.
    if (m_entries.empty()) {
        if (plat::PathExists(m_path.c_str()) && !plat::RemoveFile(m_path.c_str())) {
            m_notices.push_back({JOURNAL_NOT_WRITTEN, m_path});
            m_read = FALSE;
            return FALSE;
        }
        m_bytes.clear();
        m_read = TRUE;
        return TRUE;
    }
    std::string bytes;
    try {
        bytes = SerializeJournal(m_entries);
    } catch (const std::exception&) {
        m_notices.push_back({JOURNAL_NOT_WRITTEN, m_path});
        return FALSE;
    }
    const size_t slash = m_path.find_last_of('\\');
    if (slash != std::string::npos)
        plat::CreateFolder(m_path.substr(0, slash).c_str());
    if (!plat::ReplaceWholeFile(m_path.c_str(), bytes)) {
        m_notices.push_back({JOURNAL_NOT_WRITTEN, m_path});
        // What the file holds is unknown now: read it again next time.
        m_read = FALSE;
        return FALSE;
    }
    m_bytes = bytes;
    m_read = TRUE;
    return TRUE;
}

int COriginalsJournal::IndexOf(const std::string& client, const std::string& store,
                               const std::string& identity) const
{
    const auto found = m_index.find(AccountKey(client, store, identity));
    return found == m_index.end() ? -1 : static_cast<int>(found->second);
}

void COriginalsJournal::Reindex()
{
    m_index.clear();
    m_index.reserve(m_entries.size());
    // The first entry of an account is the one found, should a hand-edited file hold two.
    for (size_t i = 0; i < m_entries.size(); ++i)
        m_index.emplace(AccountKey(m_entries[i].client, m_entries[i].store, m_entries[i].identity), i);
}

BOOL COriginalsJournal::Find(const std::string& client, const std::string& store, const std::string& identity,
                             PopSettings& real)
{
    // Within a read batch (a load, which asks for every account) the file is read once, until the program
    // writes a file; outside one, at every call.
    const unsigned long batch = plat::ReadBatchId();
    if (batch == 0 || batch != m_readBatch || plat::FileWriteCount() != m_readWrites) {
        Refresh();
        m_readBatch = batch;
        m_readWrites = plat::FileWriteCount();
    }
    const int index = IndexOf(client, store, identity);
    if (index < 0)
        return FALSE;
    real = m_entries[static_cast<size_t>(index)].real;
    return TRUE;
}

BOOL COriginalsJournal::RecordAll(const std::vector<JournalEntry>& entries)
{
    if (m_path.empty())
        return FALSE;
    Refresh();
    // An account's new entry takes the place of its old one at the end; of two for one account in entries
    // the later counts. Found by key: a batch brings as many entries as the journal holds.
    std::unordered_map<std::string, size_t> lastOf;
    lastOf.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        lastOf[AccountKey(entries[i].client, entries[i].store, entries[i].identity)] = i;
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const JournalEntry& entry) {
                                       return lastOf.count(
                                                  AccountKey(entry.client, entry.store, entry.identity)) != 0;
                                   }),
                    m_entries.end());
    for (size_t i = 0; i < entries.size(); ++i) {
        if (lastOf[AccountKey(entries[i].client, entries[i].store, entries[i].identity)] == i)
            m_entries.push_back(entries[i]);
    }
    if (m_entries.size() > kMaxEntries)
        m_entries.erase(m_entries.begin(), m_entries.end() - kMaxEntries);
    Reindex();
    return Save();
}

BOOL COriginalsJournal::RetireAll(const std::vector<JournalEntry>& accounts)
{
    if (m_path.empty())
        return TRUE;
    Refresh();
    std::unordered_set<std::string> retired;
    retired.reserve(accounts.size());
    for (const JournalEntry& account : accounts)
        retired.insert(AccountKey(account.client, account.store, account.identity));
    const size_t before = m_entries.size();
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&](const JournalEntry& entry) {
                                       return retired.count(
                                                  AccountKey(entry.client, entry.store, entry.identity)) != 0;
                                   }),
                    m_entries.end());
    if (m_entries.size() == before)
        return TRUE;
    Reindex();
    return Save();
}

std::vector<JournalEntry> COriginalsJournal::Entries()
{
    Refresh();
    return m_entries;
}

std::vector<JournalNotice> COriginalsJournal::TakeNotices()
{
    std::vector<JournalNotice> notices;
    notices.swap(m_notices);
    return notices;
}
