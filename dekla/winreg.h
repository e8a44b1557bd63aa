// The registry calls the display entry cleaner makes, with the Windows types,
// return codes and value types. On Windows they are the system's own; elsewhere
// libdekla_win95 serves them from a hive that the host loads (see host.h).
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

extern "C" {

typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint8_t BYTE;
typedef char CHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef DWORD* LPDWORD;
typedef BYTE* LPBYTE;
typedef struct HKEY__* HKEY;
typedef HKEY* PHKEY;

}  // extern "C"

// Predefined keys carry the same numbers as on Windows.
#define HKEY_CLASSES_ROOT ((HKEY)(uintptr_t)0x80000000u)
#define HKEY_CURRENT_USER ((HKEY)(uintptr_t)0x80000001u)
#define HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)
#define HKEY_USERS ((HKEY)(uintptr_t)0x80000003u)
#define HKEY_CURRENT_CONFIG ((HKEY)(uintptr_t)0x80000005u)
#define HKEY_DYN_DATA ((HKEY)(uintptr_t)0x80000006u)

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_MORE_DATA 234L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_BADKEY 1010L
#define ERROR_KEY_DELETED 1018L

#define REG_NONE 0u
#define REG_SZ 1u
#define REG_EXPAND_SZ 2u
#define REG_BINARY 3u
#define REG_DWORD 4u
#define REG_MULTI_SZ 7u

#define DEKLA_IMPORT __attribute__((visibility("default")))

extern "C" {
DEKLA_IMPORT LONG RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result);
DEKLA_IMPORT LONG RegOpenKeyA(HKEY key, LPCSTR subKey, PHKEY result);
DEKLA_IMPORT LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize);
DEKLA_IMPORT LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type,
                                   LPBYTE data, LPDWORD dataSize);
DEKLA_IMPORT LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type,
                                 const BYTE* data, DWORD dataSize);
DEKLA_IMPORT LONG RegDeleteKeyA(HKEY key, LPCSTR subKey);
DEKLA_IMPORT LONG RegCloseKey(HKEY key);
}  // extern "C"

#endif
