// CUObList: a doubly linked list of CUObject pointers, owning or not.
#pragma once

#include <cordak/object.h>

class CUNode
{
public:
    // Links itself between previous and next (either may be null).
    CUNode(CUNode* previous, CUNode* next, CUObject* object);

    CUNode* GetNext() const { return m_next; }
    CUNode* GetPrev() const { return m_prev; }
    CUObject* GetObject() const { return m_object; }
    void SetObject(CUObject* object) { m_object = object; }

private:
    friend class CUObList;
    CUNode* m_next;
    CUNode* m_prev;
    CUObject* m_object;
};

class CUObList : public CUObject
{
public:
    explicit CUObList(int owns = 0);
    ~CUObList() override;

    CUObList(const CUObList&) = delete;
    CUObList& operator=(const CUObList&) = delete;

    void AddHead(CUObject* object);
    void AddTail(CUObject* object);
    // The other list's objects, kept in their order, at the front or back.
    void AddHead(CUObList* other);
    void AddTail(CUObList* other);
    // Before/after a node; a null node or an empty list adds at the head
    // (before) or the tail (after).
    void InsertBefore(CUObject* object, CUNode* node);
    void InsertAfter(CUObject* object, CUNode* node);
    // Relative to the node holding other; at the tail when other is not here.
    void InsertBefore(CUObject* object, CUObject* other);
    void InsertAfter(CUObject* object, CUObject* other);
    // Before the node at index i; at the tail when there is none.
    void InsertAt(CUObject* object, int i);

    CUObject* GetHead() const;
    CUObject* GetTail() const;
    CUNode* GetHeadNode() const;
    CUNode* GetTailNode() const;
    int IsEmpty() const;
    int GetCount() const;
    int IsOwning() const;

    // The object after or before the given one, or null.
    CUObject* GetNext(CUObject* object) const;
    CUObject* GetPrev(CUObject* object) const;
    // First node holding object, from start (or the head).
    CUNode* Find(CUObject* object, CUNode* start = nullptr) const;
    CUNode* FindIndex(int i) const;
    int GetIndex(CUObject* object) const;
    CUObject* GetByIndex(int i) const;
    // First object whose CUString at byte offset equals text (case-sensitive).
    CUObject* GetByString(int offset, char const* text, CUNode** node = nullptr) const;
    // First object whose size bytes (1..4) at byte offset equal the first size
    // bytes of value.
    CUObject* GetByValue(int offset, int value, int size, CUNode** node = nullptr) const;

    // Exchanges the objects of two nodes; the nodes stay in place.
    void SwapNodes(CUNode* a, CUNode* b);

    // Unlink and free a node, returning its object (null when empty).
    CUObject* RemoveHead();
    CUObject* RemoveTail();
    // Unlink and free one node; the object is not deleted.
    void Remove(CUNode* node);
    void Remove(CUObject* object);
    void Remove(int index);
    // Delete the object, then Remove.
    void Delete(CUNode* node);
    void Delete(CUObject* object);
    void Delete(int index);
    void RemoveAll();
    void DeleteAll();

    // Exchange sort by operator< (ascending) or operator>; nodes stay put.
    void Sort(int ascending);

    // Count, then each object from head to tail. Null objects are not written
    // (nor counted).
    void Write(CUBuffer& buffer) override;

private:
    void Unlink(CUNode* node);
    void LinkBefore(CUObject* object, CUNode* node);
    void LinkAfter(CUObject* object, CUNode* node);

    CUNode* m_head = nullptr;
    CUNode* m_tail = nullptr;
    int m_count = 0;
    int m_owns = 0;
};
