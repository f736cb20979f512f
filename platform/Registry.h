// Registry calls: declared once here, implemented by win32/Registry.cpp and portable/Registry.cpp.
#pragma once

#include "PlatTypes.h"

namespace plat {

/*
 * Keys. RegOpen and RegCreate take a root (HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT) or a key
 * they returned, a path of names separated by backslashes, and an access mask. Machine-wide roots
 * (HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT) are seen as a 32-bit program sees them, because the e-mail clients
 * are 32-bit programs; KEY_WOW64_64KEY in the mask asks for the 64-bit view instead. Per-user keys have one
 * view. Names match without regard to case. The result is the Win32 code: ERROR_SUCCESS (0) or the reason,
 * ERROR_FILE_NOT_FOUND for a missing key. Every key returned must be given back to RegClose.
 */
LONG RegOpen(HKEY root, const char* path, REGSAM access, HKEY* key);
LONG RegCreate(HKEY root, const char* path, REGSAM access, HKEY* key);
LONG RegClose(HKEY key);
// Removes a key with everything below it, in the same view as RegOpen; ERROR_FILE_NOT_FOUND when it is not
// there, ERROR_INVALID_PARAMETER for an empty path (which would empty the root itself).
LONG RegRemoveTree(HKEY root, const char* path);

/*
 * Values, with the results of RegQueryValueExA, RegSetValueExA, RegDeleteValueA:
 * - RegQuery with a null name reads the key's default value. A missing value gives ERROR_FILE_NOT_FOUND; with
 *   a null data pointer the size becomes 0, otherwise the size is left as passed. The type is not to be
 *   trusted after a failure (Wine clears it, Windows leaves anything there).
 * - A buffer too small gives ERROR_MORE_DATA, the buffer untouched and *size set to the full size.
 * - A string stored without its NUL comes back without one when the buffer is exactly the stored size; callers
 *   that need a terminated string allocate one byte more and add it (see CRegKey).
 * - RegWrite with REG_SZ stores the NUL even when the size omits it.
 * - None of these calls changes the thread's last-error value.
 */
LONG RegQuery(HKEY key, const char* name, DWORD* type, void* data, DWORD* size);
LONG RegWrite(HKEY key, const char* name, DWORD type, const void* data, DWORD size);
LONG RegRemoveValue(HKEY key, const char* name);

/*
 * Enumeration. RegCountSubkeys fills the number of subkeys and the longest subkey name (without its NUL);
 * either pointer may be null. RegSubkeyName gives the name of subkey number index into name, *nameLen in
 * characters with the NUL on entry, without it on return; ERROR_NO_MORE_ITEMS past the end, ERROR_MORE_DATA
 * when the name does not fit. RegValueAt does the same for values (RegEnumValueA); data and size may be null;
 * when only the name does not fit, Wine still fills the data and gives the name cut and terminated.
 * The order is stable while the key is not changed. Subkeys come sorted by name; values come in the order
 * they were set on Windows but sorted by name under Wine (and in the portable backend), so callers must not
 * rely on the order of values.
 */
LONG RegCountSubkeys(HKEY key, DWORD* count, DWORD* maxNameLen);
LONG RegSubkeyName(HKEY key, DWORD index, char* name, DWORD* nameLen);
LONG RegValueAt(HKEY key, DWORD index, char* name, DWORD* nameLen, DWORD* type, void* data, DWORD* size);

} // namespace plat
