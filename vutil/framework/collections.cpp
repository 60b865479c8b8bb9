#include "vutil/framework/collections.h"

#include <utility>

namespace vutil {

CStringList::CStringList(const CStringList& other) { AddTail(other); }

CStringList& CStringList::operator=(const CStringList& other) {
    if (this != &other) {
        CStringList copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CStringList::CStringList(CStringList&& other) noexcept
    : m_head(std::exchange(other.m_head, nullptr)),
      m_tail(std::exchange(other.m_tail, nullptr)),
      m_count(std::exchange(other.m_count, 0)) {}

CStringList& CStringList::operator=(CStringList&& other) noexcept {
    if (this != &other) {
        RemoveAll();
        m_head = std::exchange(other.m_head, nullptr);
        m_tail = std::exchange(other.m_tail, nullptr);
        m_count = std::exchange(other.m_count, 0);
    }
    return *this;
}

CStringList::~CStringList() { RemoveAll(); }

CString& CStringList::Dummy() {
    thread_local CString dummy;
    dummy.Empty();
    return dummy;
}

CString& CStringList::GetHead() { return m_head ? m_head->value : Dummy(); }
const CString& CStringList::GetHead() const { return m_head ? m_head->value : Dummy(); }
CString& CStringList::GetTail() { return m_tail ? m_tail->value : Dummy(); }
const CString& CStringList::GetTail() const { return m_tail ? m_tail->value : Dummy(); }

CString CStringList::RemoveHead() {
    if (!m_head) return CString();
    CString v = std::move(m_head->value);
    RemoveAt(ToPos(m_head));
    return v;
}

CString CStringList::RemoveTail() {
    if (!m_tail) return CString();
    CString v = std::move(m_tail->value);
    RemoveAt(ToPos(m_tail));
    return v;
}

POSITION CStringList::AddHead(const CString& s) {
    Node* n = new Node{s, nullptr, m_head};
    if (m_head) m_head->prev = n;
    else m_tail = n;
    m_head = n;
    ++m_count;
    return ToPos(n);
}

POSITION CStringList::AddTail(const CString& s) {
    Node* n = new Node{s, m_tail, nullptr};
    if (m_tail) m_tail->next = n;
    else m_head = n;
    m_tail = n;
    ++m_count;
    return ToPos(n);
}

void CStringList::AddHead(const CStringList& other) {
    // Walk backwards so the other list's order is kept in front.
    for (Node* n = other.m_tail; n; n = n->prev) AddHead(n->value);
}

void CStringList::AddTail(const CStringList& other) {
    if (&other == this) {
        CStringList copy(other);
        AddTail(copy);
        return;
    }
    for (Node* n = other.m_head; n; n = n->next) AddTail(n->value);
}

void CStringList::RemoveAll() noexcept {
    Node* n = m_head;
    while (n) {
        Node* next = n->next;
        delete n;
        n = next;
    }
    m_head = m_tail = nullptr;
    m_count = 0;
}

CString& CStringList::GetNext(POSITION& pos) {
    Node* n = ToNode(pos);
    if (!n) return Dummy();
    pos = ToPos(n->next);
    return n->value;
}

const CString& CStringList::GetNext(POSITION& pos) const { return const_cast<CStringList*>(this)->GetNext(pos); }

CString& CStringList::GetPrev(POSITION& pos) {
    Node* n = ToNode(pos);
    if (!n) return Dummy();
    pos = ToPos(n->prev);
    return n->value;
}

const CString& CStringList::GetPrev(POSITION& pos) const { return const_cast<CStringList*>(this)->GetPrev(pos); }

CString& CStringList::GetAt(POSITION pos) {
    Node* n = ToNode(pos);
    return n ? n->value : Dummy();
}

const CString& CStringList::GetAt(POSITION pos) const { return const_cast<CStringList*>(this)->GetAt(pos); }

void CStringList::SetAt(POSITION pos, const CString& s) {
    if (Node* n = ToNode(pos)) n->value = s;
}

void CStringList::RemoveAt(POSITION pos) {
    Node* n = ToNode(pos);
    if (!n) return;
    if (n->prev) n->prev->next = n->next;
    else m_head = n->next;
    if (n->next) n->next->prev = n->prev;
    else m_tail = n->prev;
    delete n;
    --m_count;
}

POSITION CStringList::InsertBefore(POSITION pos, const CString& s) {
    Node* at = ToNode(pos);
    if (!at) return AddHead(s);
    Node* n = new Node{s, at->prev, at};
    if (at->prev) at->prev->next = n;
    else m_head = n;
    at->prev = n;
    ++m_count;
    return ToPos(n);
}

POSITION CStringList::InsertAfter(POSITION pos, const CString& s) {
    Node* at = ToNode(pos);
    if (!at) return AddTail(s);
    Node* n = new Node{s, at, at->next};
    if (at->next) at->next->prev = n;
    else m_tail = n;
    at->next = n;
    ++m_count;
    return ToPos(n);
}

POSITION CStringList::Find(const char* value, POSITION startAfter) const {
    Node* n = startAfter ? ToNode(startAfter)->next : m_head;
    for (; n; n = n->next) {
        if (n->value == value) return ToPos(n);
    }
    return nullptr;
}

POSITION CStringList::FindIndex(int index) const noexcept {
    if (index < 0 || index >= m_count) return nullptr;
    Node* n = m_head;
    while (index-- > 0) n = n->next;
    return ToPos(n);
}

}  // namespace vutil
