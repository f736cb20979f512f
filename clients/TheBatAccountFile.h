// CTheBatAccountFile: the records of one The Bat! "account.cfg", parsed from bytes, edited field by field
// and turned back into bytes with every record that was not edited left as it was.
#pragma once

#include "PlatTypes.h"

#include <string>
#include <vector>

// Records of account.cfg that the program reads or writes.
enum
{
    THEBAT_RECORD_EMAIL = 2,
    THEBAT_RECORD_SERVER = 11,
    THEBAT_RECORD_PORT = 13,
    THEBAT_RECORD_LOGIN = 15,
    THEBAT_RECORD_PROTOCOL = 29,
    THEBAT_RECORD_AUTH = 57
};

// One record: a 32-bit id, a 32-bit length and that many data bytes (the length is data.size()).
struct TheBatRecord
{
    DWORD id = 0;
    std::string data;
};

class CTheBatAccountFile
{
public:
    // Takes the records of a whole file: id, length and data, little-endian, up to the end of the bytes.
    // FALSE when a record is cut short (a header or data running past the end, whatever its length says);
    // the records before it are kept so that the e-mail address can still be shown, but such a file must
    // not be written back.
    BOOL Parse(const std::string& bytes);
    // The file's bytes: every record in order, as read or as last set.
    std::string Serialize() const;

    // Index of the first record with this id, or -1. Later records with the same id are never used.
    int FindRecord(DWORD id) const;
    const std::vector<TheBatRecord>& Records() const { return m_records; }

    // A string record is a 4-byte text length and the text; the text is read up to its first zero byte and
    // the stored length is not consulted. FALSE when the record is missing, shorter than 4 bytes, or holds
    // anything but zeros after that first zero (the text would be cut).
    BOOL GetStringField(DWORD id, std::string& text) const;
    // Replaces the data with the text's length and the text. FALSE when the record is missing.
    BOOL SetStringField(DWORD id, const std::string& text);

    // A number record's first four data bytes. FALSE when it is missing or shorter than 4 bytes.
    BOOL GetNumberField(DWORD id, DWORD& value) const;
    // The data becomes exactly the four bytes of value. FALSE when the record is missing.
    BOOL SetNumberField(DWORD id, DWORD value);

    // A string record that holds the login codec's form; an empty stored text is an empty value. FALSE
    // when the string cannot be read, does not decode, or decodes to a text holding a zero byte.
    BOOL GetEncodedField(DWORD id, std::string& text) const;
    // Stores the codec's form of text; an empty text is stored as an empty string. FALSE when the record is
    // missing or the text is too long for the codec.
    BOOL SetEncodedField(DWORD id, const std::string& text);

    // "POP3" when (byte 5 of the protocol record AND 0x0A) is 0x08, otherwise "IMAP"; empty when the
    // record is missing or shorter than 6 bytes.
    std::string GetProtocolText() const;
    // "Normal", "APOP" or "SPA" for the authentication number 0, 1 or 2; empty for any other value and for
    // a missing or short record.
    std::string GetAuthModeText() const;
    // "Normal", "APOP" or "SPA" in any letter case sets the number; FALSE for another text or no record.
    BOOL SetAuthModeText(const std::string& text);

private:
    std::vector<TheBatRecord> m_records;
};
