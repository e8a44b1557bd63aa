#include "dekla/hive.h"

#include <algorithm>

namespace dekla {
namespace {

unsigned char fold(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

const std::array<RootInfo, 6> kRoots = {{
    {Root::LocalMachine, "HKEY_LOCAL_MACHINE", 0x80000002u},
    {Root::CurrentUser, "HKEY_CURRENT_USER", 0x80000001u},
    {Root::ClassesRoot, "HKEY_CLASSES_ROOT", 0x80000000u},
    {Root::Users, "HKEY_USERS", 0x80000003u},
    {Root::CurrentConfig, "HKEY_CURRENT_CONFIG", 0x80000005u},
    {Root::DynData, "HKEY_DYN_DATA", 0x80000006u},
}};

}  // namespace

int compareNames(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  bool trail = false;  // both names agree up to here, so a lead byte is the same in both
  for (std::size_t i = 0; i < n; ++i) {
    const auto ra = static_cast<unsigned char>(a[i]);
    const auto rb = static_cast<unsigned char>(b[i]);
    const unsigned char ca = trail ? ra : fold(ra);
    const unsigned char cb = trail ? rb : fold(rb);
    if (ca != cb) return ca < cb ? -1 : 1;
    trail = !trail && ((ra >= 0x81 && ra <= 0x9F) || (ra >= 0xE0 && ra <= 0xFC));
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::shared_ptr<Key> Key::findSubkey(std::string_view name) const {
  auto it = std::lower_bound(subkeys_.begin(), subkeys_.end(), name,
                             [](const auto& key, std::string_view n) { return compareNames(key->name(), n) < 0; });
  if (it != subkeys_.end() && sameName((*it)->name(), name)) return *it;
  return nullptr;
}

std::shared_ptr<Key> Key::addSubkey(std::string_view name) {
  auto it = std::lower_bound(subkeys_.begin(), subkeys_.end(), name,
                             [](const auto& key, std::string_view n) { return compareNames(key->name(), n) < 0; });
  if (it != subkeys_.end() && sameName((*it)->name(), name)) return *it;
  return *subkeys_.insert(it, std::make_shared<Key>(std::string(name)));
}

bool Key::removeSubkey(std::string_view name) {
  auto it = std::find_if(subkeys_.begin(), subkeys_.end(),
                         [&](const auto& key) { return sameName(key->name(), name); });
  if (it == subkeys_.end()) return false;
  (*it)->markDeleted();
  subkeys_.erase(it);
  return true;
}

void Key::markDeleted() {
  deleted_ = true;
  for (auto& sub : subkeys_) sub->markDeleted();
}

const Value* Key::findValue(std::string_view name) const {
  for (const Value& v : values_)
    if (sameName(v.name, name)) return &v;
  return nullptr;
}

void Key::setValue(std::string_view name, uint32_t type, std::vector<uint8_t> data) {
  for (Value& v : values_) {
    if (sameName(v.name, name)) {
      v.type = type;
      v.data = std::move(data);
      return;
    }
  }
  values_.push_back(Value{std::string(name), type, std::move(data)});
}

bool Key::removeValue(std::string_view name) {
  auto it = std::find_if(values_.begin(), values_.end(), [&](const Value& v) { return sameName(v.name, name); });
  if (it == values_.end()) return false;
  values_.erase(it);
  return true;
}

const std::array<RootInfo, 6>& rootTable() { return kRoots; }

std::optional<Root> rootByName(std::string_view name) {
  for (const RootInfo& r : kRoots)
    if (sameName(r.name, name)) return r.root;
  return std::nullopt;
}

std::optional<Root> rootByHandle(uint32_t handle) {
  for (const RootInfo& r : kRoots)
    if (r.handle == handle) return r.root;
  return std::nullopt;
}

const char* rootName(Root root) {
  for (const RootInfo& r : kRoots)
    if (r.root == root) return r.name;
  return "";
}

Hive::Hive() {
  for (const RootInfo& r : kRoots) roots_[index(r.root)] = std::make_shared<Key>(r.name);
}

}  // namespace dekla
