// DelDisplay: clears the display adapters Windows 95 knows from before, so
// that it detects the board afresh. Plug-and-play display instances are removed
// from HKEY_LOCAL_MACHINE\Enum; root-enumerated (legacy) ones cannot be
// redetected, so they are disabled in hardware profile 0001 instead.
#include <cstdint>

#include "dekla/port.h"
#include "dekla/winreg.h"

#ifdef _WIN32
#define DEKLA_EXPORT __declspec(dllexport)
#define DEKLA_WINAPI WINAPI
#else
#define DEKLA_EXPORT __attribute__((visibility("default")))
#if defined(__i386__)
#define DEKLA_WINAPI __attribute__((stdcall))
#else
#define DEKLA_WINAPI
#endif
#endif

namespace {

constexpr uint16_t kBoardPort = 0x59E3;
constexpr uint8_t kBoardPresent = 0x14;
constexpr DWORD kMaxKeys = 256;   // keys visited per level
constexpr DWORD kNameSize = 256;  // 255 characters and the terminator
constexpr int kMaxDepth = 512;    // the deepest a registry path can go

bool equalsIgnoringCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    char ca = *a, cb = *b;
    if (ca >= 'a' && ca <= 'z') ca = static_cast<char>(ca - 'a' + 'A');
    if (cb >= 'a' && cb <= 'z') cb = static_cast<char>(cb - 'a' + 'A');
    if (ca != cb) return false;
    if (ca == '\0') return true;
  }
}

// A "Class" that cannot be read (absent, or longer than the buffer) is not a display.
bool isDisplayInstance(HKEY instance) {
  char cls[kNameSize] = {};
  DWORD size = kNameSize - 1;  // keeps room for a terminator the data may lack
  if (RegQueryValueExA(instance, "Class", nullptr, nullptr, reinterpret_cast<BYTE*>(cls), &size) != ERROR_SUCCESS)
    return false;
  cls[size] = '\0';
  return cls[0] == '\0' || equalsIgnoringCase(cls, "DISPLAY");
}

bool deleteTree(HKEY parent, const char* name, int depth);

// Deletes the subkeys of `key`, depth first, so the cleaning also works where
// a key must be empty before it can be deleted.
void deleteSubkeys(HKEY key, int depth) {
  DWORD index = 0;
  for (DWORD visited = 0; visited < kMaxKeys; ++visited) {
    char name[kNameSize];
    if (RegEnumKeyA(key, index, name, kNameSize) != ERROR_SUCCESS) return;
    // The next subkey moves down into the deleted one's index; a key that
    // would not go is stepped over so the loop cannot spin on it.
    if (!deleteTree(key, name, depth)) ++index;
  }
}

bool deleteTree(HKEY parent, const char* name, int depth) {
  HKEY key;
  if (depth < kMaxDepth && RegOpenKeyA(parent, name, &key) == ERROR_SUCCESS) {
    deleteSubkeys(key, depth + 1);
    RegCloseKey(key);
  }
  return RegDeleteKeyA(parent, name) == ERROR_SUCCESS;
}

void disableInProfile(const char* enumerator, const char* device, const char* instance) {
  const char* path[] = {"Config\\0001\\Enum", enumerator, device, instance};
  HKEY opened[4];
  int count = 0;
  HKEY parent = HKEY_LOCAL_MACHINE;
  for (const char* name : path) {
    if (RegCreateKeyA(parent, name, &opened[count]) != ERROR_SUCCESS) break;
    parent = opened[count++];
  }
  if (count == 4) {
    static const BYTE kDisabled[4] = {0x01, 0x00, 0x00, 0x00};
    RegSetValueExA(parent, "CSConfigFlags", 0, REG_BINARY, kDisabled, sizeof kDisabled);
  }
  while (count > 0) RegCloseKey(opened[--count]);
}

enum class Outcome { Keep, Delete };

// Opens each subkey of `parent` in turn, hands it to `visit` and closes it;
// a subkey the visitor condemns is then deleted with everything below it.
template <class Visit>
void walkSubkeys(HKEY parent, Visit visit) {
  DWORD index = 0;
  for (DWORD visited = 0; visited < kMaxKeys; ++visited) {
    char name[kNameSize];
    if (RegEnumKeyA(parent, index, name, kNameSize) != ERROR_SUCCESS) return;
    HKEY key;
    Outcome outcome = Outcome::Keep;
    if (RegOpenKeyA(parent, name, &key) == ERROR_SUCCESS) {
      outcome = visit(name, key);
      RegCloseKey(key);
    }
    const bool deleted = outcome == Outcome::Delete && deleteTree(parent, name, 0);
    if (!deleted) ++index;
  }
}

}  // namespace

extern "C" DEKLA_EXPORT DWORD DEKLA_WINAPI DelDisplay(DWORD, DWORD, DWORD) {
  uint8_t board = 0;
  if (!ReadPortByte(kBoardPort, &board) || board != kBoardPresent) return 1;

  HKEY enumKey;
  if (RegCreateKeyA(HKEY_LOCAL_MACHINE, "Enum", &enumKey) != ERROR_SUCCESS) return 0;
  walkSubkeys(enumKey, [](const char* enumerator, HKEY enumeratorKey) {
    const bool legacy = equalsIgnoringCase(enumerator, "Root");
    walkSubkeys(enumeratorKey, [&](const char* device, HKEY deviceKey) {
      walkSubkeys(deviceKey, [&](const char* instance, HKEY instanceKey) {
        if (!isDisplayInstance(instanceKey)) return Outcome::Keep;
        if (!legacy) return Outcome::Delete;
        disableInProfile(enumerator, device, instance);
        return Outcome::Keep;
      });
      return Outcome::Keep;
    });
    return Outcome::Keep;
  });
  RegCloseKey(enumKey);
  return 0;
}
