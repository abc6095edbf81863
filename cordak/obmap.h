// CUObMap: a hash table of CUObject pointers keyed by a member of the stored
// objects themselves: the 32-bit int, or the CUString, at a byte offset inside
// each object. One map uses one kind of key.
//
// The key given to SetAt only chooses the bucket and finds an existing entry;
// the object's own key member must hold the same key, because lookups read it
// from the objects.
#pragma once

#include <cordak/oblist.h>

class CUObMap : public CUObject
{
public:
    // About 16 expected entries per bucket; see GetBucketSize.
    CUObMap(int keyOffset, int expectedCount, int owns);
    ~CUObMap() override;

    CUObMap(const CUObMap&) = delete;
    CUObMap& operator=(const CUObMap&) = delete;

    virtual unsigned long HashKey(unsigned long key);  // key >> 4 on 32 bits
    virtual unsigned long HashKey(char const* key);    // h * 33 + c, signed bytes

    // Replaces the reference when the key is present (the old object is
    // neither deleted nor returned); otherwise adds the object.
    void SetAt(int key, CUObject* object);
    void SetAt(char const* key, CUObject* object);
    CUObject* GetAt(int key);
    CUObject* GetAt(char const* key);
    void Remove(int key);
    void Remove(char const* key);
    void Delete(int key);
    void Delete(char const* key);
    void RemoveAll();
    void DeleteAll();

    CUObList* GetBucket(int key);
    CUObList* GetBucket(char const* key);
    // Bucket i, or null outside 0..bucket count-1.
    CUObList* GetBucketAt(int i);
    int GetBucketCount() const;
    // The largest prime of the table not above HashKey(n), at least 17.
    int GetBucketSize(int n);
    int GetMaxBucketSize() const;
    int GetCount() const;
    int IsEmpty() const;
    int IsOwning() const;

    // Count, then each object, bucket 0 first, each bucket head to tail.
    void Write(CUBuffer& buffer) override;

private:
    CUObject* FindInt(int key, CUNode** node);
    CUObject* FindString(char const* key, CUNode** node);

    int m_count = 0;
    int m_bucketCount = 0;
    CUObList* m_buckets = nullptr;
    int m_keyOffset;
    int m_owns;
};
