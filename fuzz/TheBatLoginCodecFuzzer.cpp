// Fuzz target: The Bat!'s login codec, decoding any stored text and the round trip of any login.
#include "FuzzInput.h"
#include "FuzzScratch.h"

#include "clients/TheBatLoginCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CFuzzInput input(data, size);
    const size_t mode = input.Choice(3);
    const std::string text = input.Rest();

    if (mode == 0) {
        // A stored form from a file: it decodes or is refused, and what decodes encodes to a form that
        // decodes to the same text again.
        std::string decoded = "sentinel";
        if (!CTheBatLoginCodec::DecodeValue(text, decoded)) {
            FUZZ_CHECK(decoded == "sentinel");
            return 0;
        }
        FUZZ_CHECK(!decoded.empty() && decoded.size() <= CTheBatLoginCodec::kMaxValueLength);
        std::string stored;
        FUZZ_CHECK(CTheBatLoginCodec::EncodeValue(decoded, stored));
        std::string again;
        FUZZ_CHECK(CTheBatLoginCodec::DecodeValue(stored, again) && again == decoded);
        // Only the symbols the length needs are read: the canonical form is as long as the stored one, less
        // one to three symbols left over.
        FUZZ_CHECK(stored.size() <= text.size() && text.size() - stored.size() < 4);
        return 0;
    }
    if (mode == 1) {
        // Any login the program may write comes back whole, in symbols of the alphabet only.
        std::string stored;
        const BOOL encoded = CTheBatLoginCodec::EncodeValue(text, stored);
        FUZZ_CHECK(encoded == (!text.empty() && text.size() <= CTheBatLoginCodec::kMaxValueLength));
        if (!encoded)
            return 0;
        for (char symbol : stored)
            FUZZ_CHECK(CTheBatLoginCodec::SymbolValue(symbol) >= 0);
        FUZZ_CHECK(stored.size() == 4 * ((text.size() + 6) / 3));
        std::string decoded;
        FUZZ_CHECK(CTheBatLoginCodec::DecodeValue(stored, decoded) && decoded == text);
        return 0;
    }
    // The symbol layer alone, for any byte count.
    const std::string symbols = CTheBatLoginCodec::EncodeSymbols(text);
    FUZZ_CHECK(symbols.size() == 4 * ((text.size() + 2) / 3));
    std::string bytes;
    FUZZ_CHECK(CTheBatLoginCodec::DecodeSymbols(symbols, text.size(), bytes) && bytes == text);
    std::string other = "sentinel";
    if (!CTheBatLoginCodec::DecodeSymbols(text, text.size() / 2, other))
        FUZZ_CHECK(other == "sentinel");
    return 0;
}
