// An in-memory registry: root keys, each a tree of named keys holding typed
// values. Names compare ignoring ASCII case and keep the case they were given;
// subkeys are kept in name order, which is also the order they are enumerated in.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dekla {

inline constexpr std::size_t kMaxNameLength = 255;  // key and value names, in bytes
inline constexpr std::size_t kMaxKeyDepth = 512;    // levels below a root key

// Only ASCII letters fold, and not the second byte of a Shift-JIS character
// (ア is 83 41, ッ is 83 61): those bytes are not letters.
int compareNames(std::string_view a, std::string_view b);
inline bool sameName(std::string_view a, std::string_view b) { return compareNames(a, b) == 0; }

struct Value {
  std::string name;  // empty for the key's default value
  uint32_t type = 0;
  std::vector<uint8_t> data;
};

class Key {
 public:
  explicit Key(std::string name) : name_(std::move(name)) {}
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;

  const std::string& name() const { return name_; }
  // A key removed from the tree stays alive while a handle holds it, marked deleted.
  bool deleted() const { return deleted_; }

  const std::vector<std::shared_ptr<Key>>& subkeys() const { return subkeys_; }
  std::shared_ptr<Key> findSubkey(std::string_view name) const;
  // Returns the existing subkey of that name, or a new one.
  std::shared_ptr<Key> addSubkey(std::string_view name);
  // Detaches the subkey and marks it and everything below it deleted.
  bool removeSubkey(std::string_view name);

  const std::vector<Value>& values() const { return values_; }
  const Value* findValue(std::string_view name) const;
  // A new value goes last; setting an existing one keeps its place and its name's case.
  void setValue(std::string_view name, uint32_t type, std::vector<uint8_t> data);
  bool removeValue(std::string_view name);

 private:
  void markDeleted();

  std::string name_;
  bool deleted_ = false;
  std::vector<std::shared_ptr<Key>> subkeys_;
  std::vector<Value> values_;
};

enum class Root { LocalMachine, CurrentUser, ClassesRoot, Users, CurrentConfig, DynData };

struct RootInfo {
  Root root;
  const char* name;  // as a REGEDIT4 section spells it
  uint32_t handle;   // the predefined handle's number
};

// Every root, in the order an export writes them.
const std::array<RootInfo, 6>& rootTable();
std::optional<Root> rootByName(std::string_view name);
std::optional<Root> rootByHandle(uint32_t handle);
const char* rootName(Root root);

// How deleting a key that still has subkeys behaves: Windows 95 removes the
// whole tree, Windows NT refuses.
enum class DeleteRule { WithSubkeys, EmptyOnly };

class Hive {
 public:
  Hive();
  Hive(Hive&&) = default;
  Hive& operator=(Hive&&) = default;

  Key& root(Root root) { return *rootPtr(root); }
  const Key& root(Root root) const { return *roots_[index(root)]; }
  const std::shared_ptr<Key>& rootPtr(Root root) { return roots_[index(root)]; }

  DeleteRule deleteRule() const { return deleteRule_; }
  void setDeleteRule(DeleteRule rule) { deleteRule_ = rule; }

 private:
  static std::size_t index(Root root) { return static_cast<std::size_t>(root); }

  std::array<std::shared_ptr<Key>, 6> roots_;
  DeleteRule deleteRule_ = DeleteRule::WithSubkeys;
};

}  // namespace dekla
