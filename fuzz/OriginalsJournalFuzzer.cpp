// Fuzz target: the journal of original settings. Any file is either refused or read into entries that write
// out and read back the same; entries made of any bytes and numbers come back exactly.
#include "FuzzInput.h"
#include "FuzzScratch.h"

#include "core/OriginalsJournal.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

bool SameEntries(const std::vector<JournalEntry>& a, const std::vector<JournalEntry>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const PopSettings &x = a[i].real, &y = b[i].real;
        if (a[i].client != b[i].client || a[i].store != b[i].store || a[i].identity != b[i].identity ||
            x.userName != y.userName || x.server != y.server || x.port != y.port ||
            x.authMode != y.authMode || x.spaFlag != y.spaFlag || x.spaFlagPresent != y.spaFlagPresent ||
            x.secure != y.secure || x.secureStored != y.secureStored)
            return false;
    }
    return true;
}

int Number(CFuzzInput& input)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | input.Byte();
    int number = 0;
    std::memcpy(&number, &value, sizeof(number));
    return number;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFuzzInput input(data, size);
    if (input.Choice(2) == 0) {
        // A file as found on disk.
        const std::string bytes = input.Rest();
        std::vector<JournalEntry> entries;
        if (ParseJournal(bytes, entries)) {
            const std::string written = SerializeJournal(entries);
            std::vector<JournalEntry> again;
            FUZZ_CHECK(ParseJournal(written, again));
            FUZZ_CHECK(SameEntries(entries, again));
            FUZZ_CHECK(SerializeJournal(again) == written);
        }
        return 0;
    }
    // Entries of any bytes: every one survives the file.
    std::vector<JournalEntry> entries(input.Choice(4));
    for (JournalEntry& entry : entries) {
        entry.client = "c" + input.Text(40);
        entry.store = "s" + input.Text(80);
        entry.identity = input.Text(40);
        entry.real.userName = input.Text(80);
        entry.real.server = input.Text(80);
        entry.real.secureStored = input.Text(20);
        entry.real.port = Number(input);
        entry.real.spaFlag = Number(input);
        entry.real.authMode = static_cast<int>(input.Choice(4));
        entry.real.secure = static_cast<int>(input.Choice(3));
        entry.real.spaFlagPresent = input.Choice(2) ? TRUE : FALSE;
    }
    std::vector<JournalEntry> read;
    FUZZ_CHECK(ParseJournal(SerializeJournal(entries), read));
    FUZZ_CHECK(SameEntries(entries, read));
    return 0;
}
