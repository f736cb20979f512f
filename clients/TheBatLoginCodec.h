// CTheBatLoginCodec: the 64-symbol text form in which The Bat! stores an account's login in account.cfg.
#pragma once

#include "PlatTypes.h"

#include <cstddef>
#include <string>

class CTheBatLoginCodec
{
public:
    // Longest login that is stored: its decoded form (a length word and the text) stays within 4095 bytes.
    static const size_t kMaxValueLength = 4091;
    // Both the symbol of value 63 and the sign that fills the last group of four.
    static const char kFillSymbol = '+';

    // Four symbols per group of three bytes; a last group of one or two bytes is filled up with '+'.
    static std::string EncodeSymbols(const std::string& bytes);

    // Exactly byteCount bytes from symbols, which must hold the whole groups those bytes need and no more
    // (one to three symbols left over at the end are ignored). '+' is the value 63 everywhere: the count,
    // not the sign, says where the bytes end. FALSE, bytes unchanged, when a symbol is outside the alphabet
    // or the number of groups does not match.
    static BOOL DecodeSymbols(const std::string& symbols, size_t byteCount, std::string& bytes);

    // The stored form of text: its length as a little-endian word, then its bytes last first, each XORed
    // with 0xD2, in symbols. FALSE, stored unchanged, for an empty text or one over kMaxValueLength.
    static BOOL EncodeValue(const std::string& text, std::string& stored);

    // The text of a stored form. The stored length word decides how many bytes the symbols carry, so a
    // last symbol '+' is read as a fill sign or as the value 63 as that length requires. FALSE, text
    // unchanged, when the form is too short, holds a character outside the alphabet, or its length word is
    // 0, over kMaxValueLength or disagrees with its number of symbols.
    static BOOL DecodeValue(const std::string& stored, std::string& text);

    // The value of a symbol, -1 for any other character.
    static int SymbolValue(char symbol);
};
