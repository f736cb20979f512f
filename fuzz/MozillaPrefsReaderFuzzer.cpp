// Fuzz target: reading a Mozilla "prefs.js": lines, settings by key, string and number values, and the lines
// the program writes read back as the values they were made from.
#include "FuzzInput.h"
#include "FuzzScratch.h"

#include "clients/MozillaPrefsFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFuzzInput input(data, size);
    const std::string key = input.Text(200);
    const std::string value = input.Text(300);
    const int number = static_cast<int>(static_cast<uint32_t>(input.Byte()) << 24 | input.Byte() << 16 |
                                        input.Byte() << 8 | input.Byte());
    const std::string bytes = input.Rest();

    // The program's reader leaves settings of other keys unparsed until asked for; every answer must be the
    // one of a reader that parses them all at once.
    CMozillaPrefsFile file;
    file.Load(bytes);
    CMozillaPrefsFile all("");
    all.Load(bytes);
    std::vector<std::string> lines;
    prefs::SplitLines(bytes, lines);
    FUZZ_CHECK(lines == file.Lines());
    for (int line = 0; line < file.LineCount(); ++line) {
        std::string text, other;
        int integer = 0, otherInteger = 0;
        const BOOL isString = file.GetString(line, text);
        FUZZ_CHECK(isString == all.GetString(line, other) && text == other);
        // A value taken is one that can be written back whole.
        if (isString)
            FUZZ_CHECK(prefs::IsWritableText(text));
        FUZZ_CHECK(file.GetInteger(line, integer) == all.GetInteger(line, otherInteger) &&
                   integer == otherInteger);
    }
    for (const std::string& asked : {key, CMozillaPrefsFile::kMailKeys + key}) {
        const int found = file.FindSetting(asked);
        FUZZ_CHECK(found >= -1 && found < file.LineCount() && found == all.FindSetting(asked));
        if (found < 0)
            continue;
        const std::string line = prefs::FormatStringSetting(asked, value);
        FUZZ_CHECK(file.EditStands(found, line, asked) == all.EditStands(found, line, asked));
    }

    // A line the program writes is one setting that reads back as what it was made from.
    if (!prefs::IsWritableText(key) || !prefs::IsWritableText(value))
        return 0;
    CMozillaPrefsFile written;
    written.Load(prefs::FormatStringSetting(key, value) + "\r\n" +
                 prefs::FormatIntegerSetting(key + ".port", number) + "\r\n");
    FUZZ_CHECK(written.LineCount() == 2);
    std::string text;
    FUZZ_CHECK(written.FindSetting(key) == 0 && written.GetString(0, text) && text == value);
    int integer = 0;
    FUZZ_CHECK(written.FindSetting(key + ".port") == 1 && written.GetInteger(1, integer) &&
               integer == number);
    return 0;
}
