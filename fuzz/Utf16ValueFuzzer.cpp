// Fuzz target: Outlook's UTF-16LE text values, read as stored bytes and as UTF-8 text to store.
#include "FuzzScratch.h"

#include "clients/Utf16Text.h"
#include "clients/Utf16Value.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);

    // Stored bytes that decode are exactly the bytes that their text encodes to.
    std::string text;
    if (DecodeUtf16Value(input, text)) {
        FUZZ_CHECK(IsValidUtf8(text) && text.find('\0') == std::string::npos);
        std::string stored;
        FUZZ_CHECK(EncodeUtf16Value(text, stored) && stored == input);
    }

    // Text to store: taken exactly when it is UTF-8 without a NUL, and read back unchanged.
    std::string stored;
    const BOOL encoded = EncodeUtf16Value(input, stored);
    FUZZ_CHECK(encoded == (IsValidUtf8(input) && input.find('\0') == std::string::npos));
    if (encoded) {
        std::string back;
        FUZZ_CHECK(stored.size() % 2 == 0 && DecodeUtf16Value(stored, back) && back == input);
    }
    return 0;
}
