#pragma once
// The framework's string list (with opaque POSITION handles) and its indexed arrays.

#include <cstddef>
#include <vector>

#include "vutil/framework/cstring.h"
#include "vutil/framework/types.h"

namespace vutil {

struct __POSITION;
using POSITION = __POSITION*;

// Doubly linked list of strings. A POSITION is a handle to one node; it stays valid
// until that node is removed.
class CStringList {
public:
    CStringList() = default;
    CStringList(const CStringList& other);
    CStringList& operator=(const CStringList& other);
    CStringList(CStringList&& other) noexcept;
    CStringList& operator=(CStringList&& other) noexcept;
    ~CStringList();

    int GetCount() const noexcept { return m_count; }
    int GetSize() const noexcept { return m_count; }
    bool IsEmpty() const noexcept { return m_count == 0; }

    // GetHead/GetTail/RemoveHead/RemoveTail on an empty list are caller errors; they
    // return an empty string rather than crash.
    CString& GetHead();
    const CString& GetHead() const;
    CString& GetTail();
    const CString& GetTail() const;
    CString RemoveHead();
    CString RemoveTail();

    POSITION AddHead(const CString& s);
    POSITION AddTail(const CString& s);
    void AddHead(const CStringList& other);
    void AddTail(const CStringList& other);
    void RemoveAll() noexcept;

    POSITION GetHeadPosition() const noexcept { return ToPos(m_head); }
    POSITION GetTailPosition() const noexcept { return ToPos(m_tail); }
    // Returns the item at pos and moves pos to the next (previous) node, or null.
    CString& GetNext(POSITION& pos);
    const CString& GetNext(POSITION& pos) const;
    CString& GetPrev(POSITION& pos);
    const CString& GetPrev(POSITION& pos) const;

    CString& GetAt(POSITION pos);
    const CString& GetAt(POSITION pos) const;
    void SetAt(POSITION pos, const CString& s);
    void RemoveAt(POSITION pos);
    POSITION InsertBefore(POSITION pos, const CString& s);
    POSITION InsertAfter(POSITION pos, const CString& s);

    // Exact comparison; searches after startAfter when given.
    POSITION Find(const char* value, POSITION startAfter = nullptr) const;
    POSITION FindIndex(int index) const noexcept;

private:
    struct Node {
        CString value;
        Node* prev = nullptr;
        Node* next = nullptr;
    };
    static POSITION ToPos(Node* n) noexcept { return reinterpret_cast<POSITION>(n); }
    static Node* ToNode(POSITION p) noexcept { return reinterpret_cast<Node*>(p); }
    static CString& Dummy();

    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    int m_count = 0;
};

// Indexed array in the framework's style: int indices, SetAtGrow fills the gap with
// default values, out-of-range writes through SetAt are ignored.
template <typename T, typename ARG = const T&>
class CArrayT {
public:
    int GetSize() const noexcept { return static_cast<int>(m_items.size()); }
    int GetCount() const noexcept { return GetSize(); }
    int GetUpperBound() const noexcept { return GetSize() - 1; }
    bool IsEmpty() const noexcept { return m_items.empty(); }

    void SetSize(int newSize) { m_items.resize(newSize > 0 ? static_cast<std::size_t>(newSize) : 0); }
    void RemoveAll() noexcept { m_items.clear(); }

    T GetAt(int i) const { return InRange(i) ? m_items[static_cast<std::size_t>(i)] : T(); }
    void SetAt(int i, ARG v) {
        if (InRange(i)) m_items[static_cast<std::size_t>(i)] = v;
    }
    T& ElementAt(int i) { return m_items.at(static_cast<std::size_t>(i)); }
    void SetAtGrow(int i, ARG v) {
        if (i < 0) return;
        if (static_cast<std::size_t>(i) >= m_items.size()) m_items.resize(static_cast<std::size_t>(i) + 1);
        m_items[static_cast<std::size_t>(i)] = v;
    }
    int Add(ARG v) {
        m_items.push_back(v);
        return GetSize() - 1;
    }
    int Append(const CArrayT& other) {
        int first = GetSize();
        m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
        return first;
    }
    void Copy(const CArrayT& other) { m_items = other.m_items; }
    void InsertAt(int i, ARG v, int count = 1) {
        if (i < 0 || count <= 0) return;
        if (static_cast<std::size_t>(i) > m_items.size()) m_items.resize(static_cast<std::size_t>(i));
        m_items.insert(m_items.begin() + i, static_cast<std::size_t>(count), v);
    }
    void RemoveAt(int i, int count = 1) {
        if (!InRange(i) || count <= 0) return;
        std::size_t last = std::min(m_items.size(), static_cast<std::size_t>(i) + static_cast<std::size_t>(count));
        m_items.erase(m_items.begin() + i, m_items.begin() + static_cast<std::ptrdiff_t>(last));
    }

    T& operator[](int i) { return m_items.at(static_cast<std::size_t>(i)); }
    const T& operator[](int i) const { return m_items.at(static_cast<std::size_t>(i)); }
    T* GetData() noexcept { return m_items.data(); }
    const T* GetData() const noexcept { return m_items.data(); }

    bool operator==(const CArrayT&) const = default;

private:
    bool InRange(int i) const noexcept { return i >= 0 && static_cast<std::size_t>(i) < m_items.size(); }
    std::vector<T> m_items;
};

class CStringArray : public CArrayT<CString> {};
class CByteArray : public CArrayT<BYTE, BYTE> {};
class CUIntArray : public CArrayT<UINT, UINT> {};
class CDWordArray : public CArrayT<DWORD, DWORD> {};

}  // namespace vutil
