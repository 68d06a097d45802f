#pragma once
// The private-profile (INI) functions with their Win32 behaviour. Section and key names match
// case-insensitively; blanks around names and values are ignored and a value in matching quotes
// loses them. Every call reads the file afresh; nothing is cached.

#include "platform/os/WinTypes.h"

// Copies the value of `key` (or `defaultValue`, "" when null, if the file, section or key is
// missing) into `out`, cut to size - 1 characters plus NUL, and returns the number of characters
// copied. A null `key` lists the section's key names, a null `section` the section names, each
// followed by NUL and the list by one more NUL. Null `out` or size 0 returns 0.
DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR out, DWORD size,
                               LPCSTR fileName);

// Reads a decimal or 0x-hex integer with optional blanks and sign, stopping at the first other
// character; a value that does not start with a number gives 0, a missing or empty one
// `defaultValue`. Negative values come back as the int's bits.
UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName);

// Sets `key` to `value` in `section`, creating the file and the section as needed. A null `value`
// deletes the key, a null `key` the whole section. All other lines stay exactly as they were; the
// file is replaced atomically, so a failure returns FALSE and leaves the old file intact. Names or
// values that would break the file's line structure are refused with FALSE.
BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName);
