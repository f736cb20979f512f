// Profile (INI) file calls with the results of the Windows private-profile functions.
#pragma once

#include "PlatTypes.h"

#include <cstddef>
#include <string>

namespace plat {

/*
 * The file is given by path; a bare name without a folder resolves in the Windows directory. Section and key
 * names match without regard to case, surrounding blanks are trimmed and one pair of matching surrounding
 * quotes (double, or single as Wine does) is stripped from a value. Files with CR-only, LF or CR+LF line
 * ends read alike.
 *
 * ProfileGetString: the value, or the default when the file, section or key is missing (a null default gives
 *   "", trailing blanks of the default are trimmed). A value that does not fit is cut and terminated; the
 *   result is the number of characters copied, size - 1 at most. Size 0 returns 0 and leaves the buffer.
 *   With a null key it lists the section's keys, with a null section the section names: double-NUL lists
 *   whose count excludes the final NUL, and size - 2 when the list was cut.
 * ProfileGetStrings: the values of count keys of one section, each as ProfileGetString gives it with an empty
 *   default and room enough, read together (the file is looked up once). A value longer than limit is left
 *   empty and the result is FALSE; the others are read all the same. FALSE with every value empty when the
 *   section or a key is null, or memory runs out.
 * ProfileGetSection: the section's lines "key=value", each ended by a NUL, the list by a second NUL; size - 2
 *   when cut. A line without '=' is listed as it stands.
 * ProfileGetInt: the leading decimal digits of the value as an unsigned number (wrapping), the default when
 *   the key is missing or empty; "-1" gives 4294967295. Under Wine "0x10" reads as hex (16).
 * ProfileWriteString: writes key=value lines with CR+LF; creates the file and the section (at the end) when
 *   missing. A null value deletes the key, a null key the section. A null section fails with
 *   ERROR_FILE_NOT_FOUND, an empty path with ERROR_ACCESS_DENIED (through *error when given). A line break in
 *   the section, key or value, an '=' in the key or a key starting with '[' would not read back as written
 *   (and could add lines of its own): refused with ERROR_INVALID_PARAMETER, the file untouched. Windows and
 *   the portable backend leave the other lines of the file as they were; Wine writes the file anew, without
 *   its blank lines and with CR+LF everywhere.
 */
DWORD ProfileGetString(const char* section, const char* key, const char* def, char* buffer, DWORD size,
                       const char* path);
BOOL ProfileGetStrings(const char* section, const char* const* keys, size_t count, std::string* values,
                       DWORD limit, const char* path);
DWORD ProfileGetSection(const char* section, char* buffer, DWORD size, const char* path);
UINT ProfileGetInt(const char* section, const char* key, int def, const char* path);
BOOL ProfileWriteString(const char* section, const char* key, const char* value, const char* path,
                        DWORD* error = nullptr);

} // namespace plat
