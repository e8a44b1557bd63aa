// The registry calls over the host's hive. Handles are numbers into a table;
// a handle keeps its key alive, so a key deleted while open answers
// ERROR_KEY_DELETED instead of touching freed memory.
#include "dekla/winreg.h"

#include <algorithm>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dekla/host.h"

namespace dekla {
namespace {

struct RegistryState {
  std::recursive_mutex mutex;
  Hive hive;
  std::unordered_map<uintptr_t, std::shared_ptr<Key>> handles;
  uintptr_t nextHandle = 0x1000;
};

RegistryState& state() {
  static RegistryState s;
  return s;
}

LONG resolve(HKEY handle, std::shared_ptr<Key>& key) {
  RegistryState& s = state();
  const auto number = reinterpret_cast<uintptr_t>(handle);
  if (number <= 0xFFFFFFFFu) {
    if (const std::optional<Root> root = rootByHandle(static_cast<uint32_t>(number))) {
      key = s.hive.rootPtr(*root);
      return ERROR_SUCCESS;
    }
  }
  auto it = s.handles.find(number);
  if (it == s.handles.end()) return ERROR_INVALID_HANDLE;
  if (it->second->deleted()) return ERROR_KEY_DELETED;
  key = it->second;
  return ERROR_SUCCESS;
}

// Splits "A\B\C" into its names; an empty name or one over the limit is refused.
bool splitPath(LPCSTR subKey, std::vector<std::string_view>& names) {
  std::string_view path = subKey ? subKey : "";
  if (path.empty()) return true;
  while (true) {
    const std::size_t cut = path.find('\\');
    const std::string_view name = path.substr(0, cut);
    if (name.empty() || name.size() > kMaxNameLength) return false;
    names.push_back(name);
    if (names.size() > kMaxKeyDepth) return false;
    if (cut == std::string_view::npos) return true;
    path.remove_prefix(cut + 1);
  }
}

LONG openOrCreate(HKEY handle, LPCSTR subKey, PHKEY result, bool create) {
  if (!result) return ERROR_INVALID_PARAMETER;
  RegistryState& s = state();
  std::lock_guard lock(s.mutex);
  std::shared_ptr<Key> key;
  if (LONG rc = resolve(handle, key); rc != ERROR_SUCCESS) return rc;
  std::vector<std::string_view> names;
  if (!splitPath(subKey, names)) return ERROR_INVALID_PARAMETER;
  for (std::string_view name : names) {
    std::shared_ptr<Key> next = create ? key->addSubkey(name) : key->findSubkey(name);
    if (!next) return ERROR_FILE_NOT_FOUND;
    key = std::move(next);
  }
  const uintptr_t number = s.nextHandle;
  s.nextHandle += 4;
  s.handles.emplace(number, std::move(key));
  *result = reinterpret_cast<HKEY>(number);
  return ERROR_SUCCESS;
}

std::string_view valueName(LPCSTR name) { return name ? name : ""; }

}  // namespace

void setHostHive(Hive hive) {
  RegistryState& s = state();
  std::lock_guard lock(s.mutex);
  s.handles.clear();
  s.hive = std::move(hive);
}

Hive& hostHive() { return state().hive; }

std::size_t openKeyCount() {
  RegistryState& s = state();
  std::lock_guard lock(s.mutex);
  return s.handles.size();
}

}  // namespace dekla

using dekla::state;

extern "C" LONG RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result) {
  return dekla::openOrCreate(key, subKey, result, true);
}

extern "C" LONG RegOpenKeyA(HKEY key, LPCSTR subKey, PHKEY result) {
  return dekla::openOrCreate(key, subKey, result, false);
}

extern "C" LONG RegEnumKeyA(HKEY handle, DWORD index, LPSTR name, DWORD nameSize) {
  std::lock_guard lock(state().mutex);
  std::shared_ptr<dekla::Key> key;
  if (LONG rc = dekla::resolve(handle, key); rc != ERROR_SUCCESS) return rc;
  if (!name) return ERROR_INVALID_PARAMETER;
  if (index >= key->subkeys().size()) return ERROR_NO_MORE_ITEMS;
  const std::string& found = key->subkeys()[index]->name();
  if (found.size() + 1 > nameSize) return ERROR_MORE_DATA;
  found.copy(name, found.size());
  name[found.size()] = '\0';
  return ERROR_SUCCESS;
}

extern "C" LONG RegQueryValueExA(HKEY handle, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                 LPDWORD dataSize) {
  std::lock_guard lock(state().mutex);
  std::shared_ptr<dekla::Key> key;
  if (LONG rc = dekla::resolve(handle, key); rc != ERROR_SUCCESS) return rc;
  if (reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
  const dekla::Value* value = key->findValue(dekla::valueName(name));
  if (!value) return ERROR_FILE_NOT_FOUND;
  if (type) *type = value->type;
  if (!dataSize) return ERROR_SUCCESS;
  const auto size = static_cast<DWORD>(value->data.size());
  const DWORD room = *dataSize;
  *dataSize = size;
  if (!data) return ERROR_SUCCESS;
  if (room < size) return ERROR_MORE_DATA;
  std::copy(value->data.begin(), value->data.end(), data);
  return ERROR_SUCCESS;
}

extern "C" LONG RegSetValueExA(HKEY handle, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                               DWORD dataSize) {
  std::lock_guard lock(state().mutex);
  std::shared_ptr<dekla::Key> key;
  if (LONG rc = dekla::resolve(handle, key); rc != ERROR_SUCCESS) return rc;
  const std::string_view n = dekla::valueName(name);
  if (n.size() > dekla::kMaxNameLength || (!data && dataSize)) return ERROR_INVALID_PARAMETER;
  key->setValue(n, type, std::vector<uint8_t>(data, data + dataSize));
  return ERROR_SUCCESS;
}

extern "C" LONG RegDeleteKeyA(HKEY handle, LPCSTR subKey) {
  std::lock_guard lock(state().mutex);
  std::shared_ptr<dekla::Key> parent;
  if (LONG rc = dekla::resolve(handle, parent); rc != ERROR_SUCCESS) return rc;
  std::vector<std::string_view> names;
  if (!subKey || !*subKey || !dekla::splitPath(subKey, names)) return ERROR_INVALID_PARAMETER;
  for (std::size_t i = 0; i + 1 < names.size(); ++i) {
    parent = parent->findSubkey(names[i]);
    if (!parent) return ERROR_FILE_NOT_FOUND;
  }
  const std::shared_ptr<dekla::Key> doomed = parent->findSubkey(names.back());
  if (!doomed) return ERROR_FILE_NOT_FOUND;
  if (state().hive.deleteRule() == dekla::DeleteRule::EmptyOnly && !doomed->subkeys().empty())
    return ERROR_ACCESS_DENIED;
  parent->removeSubkey(names.back());
  return ERROR_SUCCESS;
}

extern "C" LONG RegCloseKey(HKEY handle) {
  std::lock_guard lock(state().mutex);
  const auto number = reinterpret_cast<uintptr_t>(handle);
  if (number <= 0xFFFFFFFFu && dekla::rootByHandle(static_cast<uint32_t>(number))) return ERROR_SUCCESS;
  return state().handles.erase(number) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
