#include <cordak/obmap.h>
#include <cordak/buffer.h>

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

// Bucket counts: the largest of these not above the expected count / 16.
const int cm_bucketPrimes[] = {
    17, 19, 23, 29, 31, 37, 41, 43, 47, 53, 59, 61, 67, 71, 73, 79, 83, 89, 97, 101,
    103, 107, 109, 113, 127, 131, 137, 139, 149, 151, 157, 163, 167, 173, 179, 181, 191,
    193, 197, 199, 211, 223, 307, 401, 503, 601, 701, 809, 907, 1009, 1201, 1409, 1601,
    1801, 2003, 2411, 2801, 3203, 3607, 4001, 4507, 5003, 6007, 7001, 8009, 9001, 10007,
    11003, 12007, 13001, 14009, 15013, 20011, 25013, 30011, 40009, 50021, 60013, 70001,
    80021, 100003, 125003, 150001, 200003, 250007, 300007, 400009, 500009, 600011,
    700001, 800011, 900001, 1000003, 1200007, 1300021, 1400017, 1500007, 1600033,
    1700021, 1800017, 1900009, 2000003,
};

uint32_t BucketIndex(unsigned long hash, int bucketCount)
{
    return static_cast<uint32_t>(hash) % static_cast<uint32_t>(bucketCount);
}

}  // namespace

CUObMap::CUObMap(int keyOffset, int expectedCount, int owns)
    : m_keyOffset(keyOffset), m_owns(owns)
{
    m_bucketCount = GetBucketSize(std::max(expectedCount, 0));
    m_buckets = new CUObList[m_bucketCount];
}

CUObMap::~CUObMap()
{
    if (m_owns)
        DeleteAll();
    delete[] m_buckets;
}

unsigned long CUObMap::HashKey(unsigned long key)
{
    return static_cast<uint32_t>(key) >> 4;
}

unsigned long CUObMap::HashKey(char const* key)
{
    uint32_t h = 0;
    for (; key && *key; ++key)
        h = h * 33 + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*key)));
    return h;
}

int CUObMap::GetBucketSize(int n)
{
    uint32_t wanted = static_cast<uint32_t>(HashKey(static_cast<unsigned long>(static_cast<uint32_t>(n))));
    const int* end = std::end(cm_bucketPrimes);
    // First prime above the wanted count; the one before it is the answer.
    const int* above = std::upper_bound(std::begin(cm_bucketPrimes), end, wanted,
                                        [](uint32_t v, int p) { return v < static_cast<uint32_t>(p); });
    if (above == std::begin(cm_bucketPrimes))
        return cm_bucketPrimes[0];
    return *(above - 1);
}

CUObList* CUObMap::GetBucket(int key)
{
    return &m_buckets[BucketIndex(HashKey(static_cast<unsigned long>(static_cast<uint32_t>(key))),
                                  m_bucketCount)];
}

CUObList* CUObMap::GetBucket(char const* key)
{
    return &m_buckets[BucketIndex(HashKey(key), m_bucketCount)];
}

CUObList* CUObMap::GetBucketAt(int i)
{
    return i >= 0 && i < m_bucketCount ? &m_buckets[i] : nullptr;
}

int CUObMap::GetBucketCount() const
{
    return m_bucketCount;
}

int CUObMap::GetMaxBucketSize() const
{
    int largest = 0;
    for (int i = 0; i < m_bucketCount; ++i)
        largest = std::max(largest, m_buckets[i].GetCount());
    return largest;
}

int CUObMap::GetCount() const
{
    return m_count;
}

int CUObMap::IsEmpty() const
{
    return m_count == 0;
}

int CUObMap::IsOwning() const
{
    return m_owns != 0;
}

CUObject* CUObMap::FindInt(int key, CUNode** node)
{
    return GetBucket(key)->GetByValue(m_keyOffset, key, 4, node);
}

CUObject* CUObMap::FindString(char const* key, CUNode** node)
{
    return GetBucket(key)->GetByString(m_keyOffset, key, node);
}

void CUObMap::SetAt(int key, CUObject* object)
{
    CUNode* node = nullptr;
    if (FindInt(key, &node)) {
        node->SetObject(object);
        return;
    }
    GetBucket(key)->AddTail(object);
    ++m_count;
}

void CUObMap::SetAt(char const* key, CUObject* object)
{
    CUNode* node = nullptr;
    if (FindString(key, &node)) {
        node->SetObject(object);
        return;
    }
    GetBucket(key)->AddTail(object);
    ++m_count;
}

CUObject* CUObMap::GetAt(int key)
{
    return FindInt(key, nullptr);
}

CUObject* CUObMap::GetAt(char const* key)
{
    return FindString(key, nullptr);
}

void CUObMap::Remove(int key)
{
    CUNode* node = nullptr;
    if (FindInt(key, &node)) {
        GetBucket(key)->Remove(node);
        --m_count;
    }
}

void CUObMap::Remove(char const* key)
{
    CUNode* node = nullptr;
    if (FindString(key, &node)) {
        GetBucket(key)->Remove(node);
        --m_count;
    }
}

void CUObMap::Delete(int key)
{
    CUNode* node = nullptr;
    if (FindInt(key, &node)) {
        GetBucket(key)->Delete(node);
        --m_count;
    }
}

void CUObMap::Delete(char const* key)
{
    CUNode* node = nullptr;
    if (FindString(key, &node)) {
        GetBucket(key)->Delete(node);
        --m_count;
    }
}

void CUObMap::RemoveAll()
{
    for (int i = 0; i < m_bucketCount; ++i)
        m_buckets[i].RemoveAll();
    m_count = 0;
}

void CUObMap::DeleteAll()
{
    for (int i = 0; i < m_bucketCount; ++i)
        m_buckets[i].DeleteAll();
    m_count = 0;
}

void CUObMap::Write(CUBuffer& buffer)
{
    int written = 0;
    for (int i = 0; i < m_bucketCount; ++i)
        for (CUNode* n = m_buckets[i].GetHeadNode(); n; n = n->GetNext())
            written += n->GetObject() != nullptr;
    buffer << written;
    for (int i = 0; i < m_bucketCount; ++i)
        for (CUNode* n = m_buckets[i].GetHeadNode(); n; n = n->GetNext())
            if (n->GetObject())
                n->GetObject()->Write(buffer);
}
