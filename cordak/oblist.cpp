#include <cordak/oblist.h>
#include <cordak/buffer.h>
#include <cordak/ustring.h>

#include <cstring>
#include <utility>

CUNode::CUNode(CUNode* previous, CUNode* next, CUObject* object)
    : m_next(next), m_prev(previous), m_object(object)
{
    if (previous)
        previous->m_next = this;
    if (next)
        next->m_prev = this;
}

CUObList::CUObList(int owns) : m_owns(owns)
{
}

CUObList::~CUObList()
{
    if (m_owns)
        DeleteAll();
    else
        RemoveAll();
}

void CUObList::LinkBefore(CUObject* object, CUNode* node)
{
    CUNode* added = new CUNode(node->m_prev, node, object);
    if (node == m_head)
        m_head = added;
    ++m_count;
}

void CUObList::LinkAfter(CUObject* object, CUNode* node)
{
    CUNode* added = new CUNode(node, node->m_next, object);
    if (node == m_tail)
        m_tail = added;
    ++m_count;
}

void CUObList::AddHead(CUObject* object)
{
    if (m_head) {
        LinkBefore(object, m_head);
    } else {
        m_head = m_tail = new CUNode(nullptr, nullptr, object);
        m_count = 1;
    }
}

void CUObList::AddTail(CUObject* object)
{
    if (m_tail) {
        LinkAfter(object, m_tail);
    } else {
        m_head = m_tail = new CUNode(nullptr, nullptr, object);
        m_count = 1;
    }
}

void CUObList::AddHead(CUObList* other)
{
    if (!other)
        return;
    // Remember the other list's first node: when other is this list, the walk
    // must stop at the objects that were there before it started.
    CUNode* first = other->m_head;
    for (CUNode* n = other->m_tail; n; n = n->m_prev) {
        AddHead(n->m_object);
        if (n == first)
            break;
    }
}

void CUObList::AddTail(CUObList* other)
{
    if (!other)
        return;
    CUNode* last = other->m_tail;
    for (CUNode* n = other->m_head; n; n = n->m_next) {
        AddTail(n->m_object);
        if (n == last)
            break;
    }
}

void CUObList::InsertBefore(CUObject* object, CUNode* node)
{
    if (!node || !m_head || node == m_head)
        AddHead(object);
    else
        LinkBefore(object, node);
}

void CUObList::InsertAfter(CUObject* object, CUNode* node)
{
    if (!node || !m_tail || node == m_tail)
        AddTail(object);
    else
        LinkAfter(object, node);
}

void CUObList::InsertBefore(CUObject* object, CUObject* other)
{
    CUNode* node = Find(other);
    if (node)
        InsertBefore(object, node);
    else
        AddTail(object);
}

void CUObList::InsertAfter(CUObject* object, CUObject* other)
{
    CUNode* node = Find(other);
    if (node)
        InsertAfter(object, node);
    else
        AddTail(object);
}

void CUObList::InsertAt(CUObject* object, int i)
{
    CUNode* node = FindIndex(i);
    if (node)
        InsertBefore(object, node);
    else
        AddTail(object);
}

CUObject* CUObList::GetHead() const
{
    return m_head ? m_head->m_object : nullptr;
}

CUObject* CUObList::GetTail() const
{
    return m_tail ? m_tail->m_object : nullptr;
}

CUNode* CUObList::GetHeadNode() const
{
    return m_head;
}

CUNode* CUObList::GetTailNode() const
{
    return m_tail;
}

int CUObList::IsEmpty() const
{
    return m_count == 0;
}

int CUObList::GetCount() const
{
    return m_count;
}

int CUObList::IsOwning() const
{
    return m_owns != 0;
}

CUObject* CUObList::GetNext(CUObject* object) const
{
    CUNode* node = Find(object);
    return node && node->m_next ? node->m_next->m_object : nullptr;
}

CUObject* CUObList::GetPrev(CUObject* object) const
{
    CUNode* node = Find(object);
    return node && node->m_prev ? node->m_prev->m_object : nullptr;
}

CUNode* CUObList::Find(CUObject* object, CUNode* start) const
{
    for (CUNode* n = start ? start : m_head; n; n = n->m_next)
        if (n->m_object == object)
            return n;
    return nullptr;
}

CUNode* CUObList::FindIndex(int i) const
{
    if (i < 0 || i >= m_count)
        return nullptr;
    CUNode* n = m_head;
    while (n && i-- > 0)
        n = n->m_next;
    return n;
}

int CUObList::GetIndex(CUObject* object) const
{
    int i = 0;
    for (CUNode* n = m_head; n; n = n->m_next, ++i)
        if (n->m_object == object)
            return i;
    return -1;
}

CUObject* CUObList::GetByIndex(int i) const
{
    CUNode* node = FindIndex(i);
    return node ? node->m_object : nullptr;
}

CUObject* CUObList::GetByString(int offset, char const* text, CUNode** node) const
{
    if (!text)
        text = "";
    for (CUNode* n = m_head; n; n = n->m_next) {
        if (!n->m_object)
            continue;
        auto* key = reinterpret_cast<const CUString*>(
            reinterpret_cast<const char*>(n->m_object) + offset);
        if (std::strcmp(static_cast<char const*>(*key), text) == 0) {
            if (node)
                *node = n;
            return n->m_object;
        }
    }
    return nullptr;
}

CUObject* CUObList::GetByValue(int offset, int value, int size, CUNode** node) const
{
    if (size < 1 || size > static_cast<int>(sizeof value))
        return nullptr;
    for (CUNode* n = m_head; n; n = n->m_next) {
        if (!n->m_object)
            continue;
        const char* field = reinterpret_cast<const char*>(n->m_object) + offset;
        if (std::memcmp(field, &value, size) == 0) {
            if (node)
                *node = n;
            return n->m_object;
        }
    }
    return nullptr;
}

void CUObList::SwapNodes(CUNode* a, CUNode* b)
{
    if (a && b)
        std::swap(a->m_object, b->m_object);
}

void CUObList::Unlink(CUNode* node)
{
    if (node->m_prev)
        node->m_prev->m_next = node->m_next;
    else
        m_head = node->m_next;
    if (node->m_next)
        node->m_next->m_prev = node->m_prev;
    else
        m_tail = node->m_prev;
    delete node;
    --m_count;
}

CUObject* CUObList::RemoveHead()
{
    if (!m_head)
        return nullptr;
    CUObject* object = m_head->m_object;
    Unlink(m_head);
    return object;
}

CUObject* CUObList::RemoveTail()
{
    if (!m_tail)
        return nullptr;
    CUObject* object = m_tail->m_object;
    Unlink(m_tail);
    return object;
}

void CUObList::Remove(CUNode* node)
{
    if (node && m_count > 0)
        Unlink(node);
}

void CUObList::Remove(CUObject* object)
{
    Remove(Find(object));
}

void CUObList::Remove(int index)
{
    Remove(FindIndex(index));
}

void CUObList::Delete(CUNode* node)
{
    if (!node || m_count == 0)
        return;
    delete node->m_object;
    Unlink(node);
}

void CUObList::Delete(CUObject* object)
{
    Delete(Find(object));
}

void CUObList::Delete(int index)
{
    Delete(FindIndex(index));
}

void CUObList::RemoveAll()
{
    while (m_head)
        Unlink(m_head);
}

void CUObList::DeleteAll()
{
    while (m_head) {
        delete m_head->m_object;
        Unlink(m_head);
    }
}

void CUObList::Sort(int ascending)
{
    auto precedes = [ascending](CUObject* x, CUObject* y) {
        if (!x || !y)
            return false;
        return ascending ? (*x < *y) != 0 : (*x > *y) != 0;
    };
    for (CUNode* a = m_head; a; a = a->m_next)
        for (CUNode* b = m_head; b; b = b->m_next)
            if (precedes(a->m_object, b->m_object))
                std::swap(a->m_object, b->m_object);
}

void CUObList::Write(CUBuffer& buffer)
{
    int written = 0;
    for (CUNode* n = m_head; n; n = n->m_next)
        written += n->m_object != nullptr;
    buffer << written;
    for (CUNode* n = m_head; n; n = n->m_next)
        if (n->m_object)
            n->m_object->Write(buffer);
}
