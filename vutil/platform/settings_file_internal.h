#pragma once
// The settings tree in memory and its file form (registry export text).
// Shared by both backends (the POSIX store's file, the parser tests); no system calls here.

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "vutil/platform/types.h"

namespace vutil::platform::settings {

// Deeper key paths are refused: the registry itself stops at 512 levels, and the
// tree's walks stay shallow.
inline constexpr std::size_t kMaxDepth = 512;

struct Value {
    std::string name;
    DWORD type = 0;
    std::string data;
    bool removed = false;  // left in place until the next tidy-up; never seen by callers
};

// Names fold to upper case (ASCII only) for lookups and ordering.
std::string Fold(std::string_view name);

// One key. Lookups go through hash indexes; removals leave a gap and new children
// join at the end, and the ordered lists are put right only when someone reads them,
// so a file of a million lines in hostile order still parses in linear time.
class Key {
public:
    explicit Key(std::string name) : m_name(std::move(name)) {}
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    Key(Key&&) = default;
    Key& operator=(Key&&) = default;

    const std::string& Name() const noexcept { return m_name; }

    Key* Child(std::string_view name) const;
    Key* AddChild(std::string_view name, bool* created);
    bool RemoveChild(std::string_view name);
    // Sorted by folded name.
    const std::vector<std::unique_ptr<Key>>& Children() const;

    const Value* FindValue(std::string_view name) const;
    void SetValue(std::string_view name, DWORD type, std::string data);
    bool RemoveValue(std::string_view name);
    // In creation order.
    const std::vector<Value>& Values() const;

private:
    std::string m_name;
    std::string m_folded;
    mutable std::vector<std::unique_ptr<Key>> m_children;  // null where one was removed
    mutable bool m_childrenTidy = true;
    mutable std::unordered_map<std::string, std::size_t> m_childIndex;
    mutable std::vector<Value> m_values;
    mutable std::size_t m_removedValues = 0;
    mutable std::unordered_map<std::string, std::size_t> m_valueIndex;
};

struct Tree {
    Key top{""};        // its children are the roots ("HKEY_CURRENT_USER", ...)
    bool clean = true;  // false when some line of the file did not parse
};

// String values hold their terminating zero, as an imported file gives them.
std::string NormaliseData(DWORD type, std::string_view data);

// Parses the file bytes (UTF-8 or UTF-16LE with a byte-order mark, version 5.00 or
// REGEDIT4). Whatever parses lands in the tree; the rest clears tree.clean.
void Parse(std::string_view bytes, Tree& tree);
// The tree as version 5.00 text in UTF-8 with CRLF line ends.
std::string Serialize(const Tree& tree);

// Splits a backslash path into components; false for an empty component, a control
// character that the file cannot carry, or more than kMaxDepth levels. A single
// trailing backslash is allowed.
bool SplitPath(std::string_view path, std::vector<std::string_view>& parts);

}  // namespace vutil::platform::settings
