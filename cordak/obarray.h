// CUObArray: a growable array of CUObject pointers, owning or not.
#pragma once

#include <cordak/object.h>

class CUObArray : public CUObject
{
public:
    explicit CUObArray(int size = 0, int owns = 0);
    ~CUObArray() override;

    CUObArray(const CUObArray&) = delete;
    CUObArray& operator=(const CUObArray&) = delete;

    // Grows by count/8 slots (at least 4, at most 1024) when it must grow;
    // shrinking keeps the allocation. 0 frees the slots. New slots are null.
    void SetSize(int n);
    int GetSize() const;
    int GetCount() const;
    int GetCapacity() const;
    int IsEmpty() const;
    int IsOwning() const;

    // Element i, or null outside 0..count-1.
    CUObject* GetAt(int i) const;
    CUObject* operator[](int i) const;
    // Stores at i, growing to i+1 first when needed; ignored for i < 0.
    void SetAt(int i, CUObject* object);

    // Returns the new element's index.
    int Add(CUObject* object);
    void Add(CUObArray& other);
    // n copies of object before position i (i past the end grows the array).
    void InsertAt(int i, CUObject* object, int n = 1);
    void InsertAt(int i, CUObArray* other);

    // Positions outside the array are ignored.
    void RemoveAt(int i, int n = 1);
    void DeleteAt(int i, int n = 1);
    void RemoveAll();
    void DeleteAll();
    void Swap(int i, int j);

    // Quicksort by the elements' operator< (ascending) or operator> (not).
    void Sort(int ascending);

    // Index of the object, or -1.
    int Find(CUObject* object) const;

    // Count, then each element. Null elements are not written (nor counted).
    void Write(CUBuffer& buffer) override;

private:
    int Precedes(CUObject* x, CUObject* y, int ascending) const;
    void QuickSort(int low, int high, int ascending);

    CUObject** m_items = nullptr;
    int m_count = 0;
    int m_capacity = 0;
    int m_owns = 0;
};
