// Fuzz target: the text table over any "vantler.txt": every lookup gives a terminated text of at most 511
// characters, the file's value with each backslash-n turned into a space and a line feed.
#include "FuzzInput.h"
#include "FuzzScratch.h"

#include "Profile.h"
#include "settings/TextTable.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const CFuzzScratch& scratch = CFuzzScratch::Get();
    // Only the one file this target writes, rewritten each time.
    CFuzzInput input(data, size);
    const std::string section = input.Text(40);
    const std::string key = input.Text(40);
    const std::string defaultText = input.Text(600);
    const std::string bytes = input.Rest();
    FUZZ_CHECK(CFuzzScratch::WriteFile(scratch / "install\\vantler.txt", bytes));

    CTextTable table;
    FUZZ_CHECK(table.Locate(scratch / "install\\"));
    char raw[512];
    plat::ProfileGetString(section.c_str(), key.c_str(), defaultText.c_str(), raw, sizeof(raw),
                           table.Path().c_str());

    table.BeginSection(section.c_str());
    const char* text = table.GetText(key.c_str(), defaultText.c_str());
    const std::string first = text;
    table.EndSection();
    FUZZ_CHECK(first.size() <= 511 && first.size() == strlen(raw));
    FUZZ_CHECK(first.find("\\n") == std::string::npos);
    for (size_t i = 0; i < first.size(); ++i) {
        if (first[i] == ' ' && i + 1 < first.size() && first[i + 1] == '\n' && raw[i] == '\\' &&
            raw[i + 1] == 'n') {
            ++i;
            continue;
        }
        FUZZ_CHECK(first[i] == raw[i]);
    }

    // Before Locate, only the defaults, cut to the buffer.
    CTextTable unlocated;
    CTextSection texts(unlocated, section.c_str());
    const std::string fallback = texts.Get(key.c_str(), defaultText.c_str());
    FUZZ_CHECK(fallback.size() <= 511 && fallback.find("\\n") == std::string::npos);
    return 0;
}
