// CTheBatLoginCodec: encoding and decoding of The Bat!'s stored login text.
#include "clients/TheBatLoginCodec.h"

namespace {

// Symbol of each value 0 to 63.
const char kAlphabet[] = "zyxwvutsrqponmlkjihgfedcbaZYXWVUTSRQPONMLKJIHGFEDCBA9876543210-+";
const unsigned char kTextMask = 0xD2;
const size_t kLengthWordSize = 4;

struct DecodeTable
{
    signed char values[128];
    DecodeTable()
    {
        for (signed char& value : values)
            value = -1;
        for (int i = 0; i < 64; ++i)
            values[static_cast<unsigned char>(kAlphabet[i])] = static_cast<signed char>(i);
    }
};

const DecodeTable& Table()
{
    static const DecodeTable table;
    return table;
}

} // namespace

int CTheBatLoginCodec::SymbolValue(char symbol)
{
    const unsigned char code = static_cast<unsigned char>(symbol);
    if (code >= 128)
        return -1;
    return Table().values[code];
}

std::string CTheBatLoginCodec::EncodeSymbols(const std::string& bytes)
{
    std::string symbols;
    symbols.reserve(4 * ((bytes.size() + 2) / 3));
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned b0 = static_cast<unsigned char>(bytes[i]);
        const unsigned b1 = static_cast<unsigned char>(bytes[i + 1]);
        const unsigned b2 = static_cast<unsigned char>(bytes[i + 2]);
        symbols += kAlphabet[b0 >> 2];
        symbols += kAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
        symbols += kAlphabet[((b1 & 0x0F) << 2) | (b2 >> 6)];
        symbols += kAlphabet[b2 & 0x3F];
    }
    const size_t left = bytes.size() - i;
    if (left == 2) {
        const unsigned b0 = static_cast<unsigned char>(bytes[i]);
        const unsigned b1 = static_cast<unsigned char>(bytes[i + 1]);
        symbols += kAlphabet[b0 >> 2];
        symbols += kAlphabet[((b0 & 0x03) << 4) | (b1 >> 4)];
        symbols += kAlphabet[(b1 & 0x0F) << 2];
        symbols += kFillSymbol;
    } else if (left == 1) {
        const unsigned b0 = static_cast<unsigned char>(bytes[i]);
        symbols += kAlphabet[b0 >> 2];
        // The stored form sets the four unused low bits, and readers of it expect them so.
        symbols += kAlphabet[((b0 & 0x03) << 4) | 0x0F];
        symbols += kFillSymbol;
        symbols += kFillSymbol;
    }
    return symbols;
}

BOOL CTheBatLoginCodec::DecodeSymbols(const std::string& symbols, size_t byteCount, std::string& bytes)
{
    const size_t groups = (byteCount + 2) / 3;
    if (symbols.size() / 4 != groups)
        return FALSE;
    std::string decoded;
    decoded.reserve(3 * groups);
    for (size_t g = 0; g < groups; ++g) {
        int c[4];
        for (int k = 0; k < 4; ++k) {
            c[k] = SymbolValue(symbols[4 * g + k]);
            if (c[k] < 0)
                return FALSE;
        }
        decoded += static_cast<char>(((c[0] << 2) | (c[1] >> 4)) & 0xFF);
        decoded += static_cast<char>(((c[1] << 4) & 0xF0) | (c[2] >> 2));
        decoded += static_cast<char>(((c[2] << 6) & 0xC0) | c[3]);
    }
    decoded.resize(byteCount);
    bytes.swap(decoded);
    return TRUE;
}

BOOL CTheBatLoginCodec::EncodeValue(const std::string& text, std::string& stored)
{
    if (text.empty() || text.size() > kMaxValueLength)
        return FALSE;
    const size_t length = text.size();
    std::string bytes;
    bytes.reserve(kLengthWordSize + length);
    for (size_t k = 0; k < kLengthWordSize; ++k)
        bytes += static_cast<char>((length >> (8 * k)) & 0xFF);
    for (size_t k = 0; k < length; ++k)
        bytes += static_cast<char>(static_cast<unsigned char>(text[length - 1 - k]) ^ kTextMask);
    stored = EncodeSymbols(bytes);
    return TRUE;
}

BOOL CTheBatLoginCodec::DecodeValue(const std::string& stored, std::string& text)
{
    // The length word ends in the second group, which every non-empty value has.
    std::string head;
    if (stored.size() < 8 || !DecodeSymbols(stored.substr(0, 8), 6, head))
        return FALSE;
    size_t length = 0;
    for (size_t k = 0; k < kLengthWordSize; ++k)
        length |= static_cast<size_t>(static_cast<unsigned char>(head[k])) << (8 * k);
    if (length == 0 || length > kMaxValueLength)
        return FALSE;
    std::string bytes;
    if (!DecodeSymbols(stored, kLengthWordSize + length, bytes))
        return FALSE;
    std::string decoded(length, '\0');
    for (size_t i = 0; i < length; ++i)
        decoded[i] = static_cast<char>(static_cast<unsigned char>(bytes[kLengthWordSize + length - 1 - i]) ^
                                       kTextMask);
    text.swap(decoded);
    return TRUE;
}
