// Fuzz target: the portable backend's profile files: every read call with any buffer size over any bytes,
// and a written key read back with every other key unchanged.
#include "FuzzInput.h"
#include "FuzzScratch.h"

#include "Profile.h"
#include "ProfileDocument.h"
#include "ProfileEdit.h"
#include "TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

const char kCanary = '\xBD';

// A name the test can reason about: letters, digits and a few marks, none with a meaning in the file.
std::string PlainName(const std::string& text)
{
    std::string name;
    for (char c : text) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
            c == '_')
            name += c;
    }
    return name.empty() ? "k" : name;
}

std::string Unquoted(const std::string& value)
{
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

// One read into exactly size bytes with a canary behind them: the result stays within the buffer and is
// terminated as the call promises.
void ReadChecked(const char* section, const char* key, DWORD size, const std::string& path)
{
    std::vector<char> buffer(size + 1, kCanary);
    DWORD length = plat::ProfileGetString(section, key, "default ", buffer.data(), size, path.c_str());
    FUZZ_CHECK(buffer[size] == kCanary);
    if (size == 0) {
        FUZZ_CHECK(length == 0 && buffer[0] == kCanary);
        return;
    }
    FUZZ_CHECK(length < size);
    FUZZ_CHECK(buffer[length] == '\0');
    if (section && key)
        FUZZ_CHECK(strlen(buffer.data()) == length);

    std::vector<char> lines(size + 1, kCanary);
    length = plat::ProfileGetSection(section ? section : "s", lines.data(), size, path.c_str());
    FUZZ_CHECK(lines[size] == kCanary);
    FUZZ_CHECK(length < size);
}

std::string Read(const std::string& section, const std::string& key, const std::string& path)
{
    char buffer[1024];
    DWORD length =
        plat::ProfileGetString(section.c_str(), key.c_str(), "\x01", buffer, sizeof(buffer), path.c_str());
    return std::string(buffer, length);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CFuzzScratch& scratch = CFuzzScratch::Get();
    // Only the one file this target writes, rewritten each time.
    CFuzzInput input(data, size);
    const std::string section = input.Text(40);
    const std::string key = input.Text(40);
    const std::string value = input.Text(100);
    const std::string otherSection = PlainName(input.Text(20));
    const std::string otherKey = PlainName(input.Text(20));
    const DWORD bufferSize = input.Byte() | (input.Byte() & 1) << 8;
    const std::string bytes = input.Rest();
    const std::string path = scratch / "file.ini";
    FUZZ_CHECK(CFuzzScratch::WriteFile(path, bytes));

    ReadChecked(section.c_str(), key.c_str(), bufferSize, path);
    ReadChecked(section.c_str(), nullptr, bufferSize, path);
    ReadChecked(nullptr, nullptr, bufferSize, path);
    plat::ProfileGetInt(section.c_str(), key.c_str(), 7, path.c_str());

    // Keys read together give what each read alone gives, whole up to the limit.
    const char* const keys[] = {key.c_str(), otherKey.c_str(), ""};
    std::string together[3];
    const BOOL whole = plat::ProfileGetStrings(section.c_str(), keys, 3, together, bufferSize, path.c_str());
    BOOL fits = TRUE;
    for (size_t i = 0; i < 3; ++i) {
        // Room to spare: a cut value stops before a letter it would split, up to three bytes short.
        std::vector<char> alone(bufferSize + 8);
        const DWORD length =
            plat::ProfileGetString(section.c_str(), keys[i], "", alone.data(), bufferSize + 8, path.c_str());
        if (length > bufferSize) {
            fits = FALSE;
            FUZZ_CHECK(together[i].empty());
        } else {
            FUZZ_CHECK(together[i] == std::string(alone.data(), length));
        }
    }
    FUZZ_CHECK(whole == fits);

    // The document's own edits keep it consistent with what it then reads.
    plat::CProfileDocument document(bytes);
    std::vector<std::string> listed;
    document.ListKeys(section.c_str(), listed);
    document.ListEntries(section.c_str(), listed);
    document.SectionNames();
    plat::CProfileDocument edited(bytes);
    // A key may stand twice in a section: a deletion takes the first line only, and the file gets shorter.
    if (edited.DeleteKey(section.c_str(), key.c_str()))
        FUZZ_CHECK(edited.Bytes().size() < bytes.size());
    edited.DeleteSection(otherSection.c_str());
    // Deleting lines adds no section, unless it brings a byte-order mark from within the file to its front:
    // the line after the mark then reads as a header, as it does when Windows reads the file again.
    const char kMark[] = "\xEF\xBB\xBF";
    const bool markBroughtToFront =
        edited.Bytes().compare(0, 3, kMark) == 0 && bytes.compare(0, 3, kMark) != 0;
    FUZZ_CHECK(markBroughtToFront || edited.SectionNames().size() <= document.SectionNames().size());

    // Several values set in one edit leave the bytes that setting them one by one leaves, or are refused
    // with the bytes as they were.
    const plat::ProfileValue values[] = {
        {section, key, value}, {otherSection, otherKey, key}, {section, otherKey, value}};
    std::string inOneEdit = bytes;
    if (plat::ProfileSetValues(inOneEdit, values, 3)) {
        plat::CProfileDocument oneByOne(bytes);
        std::string spelled[3][3];
        for (size_t i = 0; i < 3; ++i) {
            FUZZ_CHECK(plat::SpellForProfile(oneByOne, values[i].section.c_str(), spelled[i][0]) &&
                       plat::SpellForProfile(oneByOne, values[i].key.c_str(), spelled[i][1]) &&
                       plat::SpellForProfile(oneByOne, values[i].value.c_str(), spelled[i][2]));
            oneByOne.SetValue(spelled[i][0].c_str(), spelled[i][1].c_str(), spelled[i][2].c_str());
        }
        FUZZ_CHECK(inOneEdit == oneByOne.Bytes());
    } else {
        FUZZ_CHECK(inOneEdit == bytes);
    }

    // A plain key written through the backend reads back as written (as UTF-8, whatever the file's code
    // page); a key elsewhere does not move. A value the code page cannot hold is not written.
    const std::string plainSection = PlainName(section);
    const std::string plainKey = PlainName(key);
    const std::string untouched = Read(otherSection, otherKey, path);
    if (!plat::ProfileWriteString(plainSection.c_str(), plainKey.c_str(), value.c_str(), path.c_str()))
        return 0;
    const std::string written(value.c_str());
    std::string inCodePage;
    FUZZ_CHECK(plat::Utf8ToCodePage(written, inCodePage));
    FUZZ_CHECK(Read(plainSection, plainKey, path) == Unquoted(plat::TrimProfileText(written)));
    if (!plat::SameProfileName(otherSection, plainSection) || !plat::SameProfileName(otherKey, plainKey))
        FUZZ_CHECK(Read(otherSection, otherKey, path) == untouched);
    return 0;
}
