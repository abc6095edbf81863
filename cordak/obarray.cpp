#include <cordak/obarray.h>
#include <cordak/buffer.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// Growth step when the array must grow: an eighth of the count, within bounds.
constexpr int cm_minGrowth = 4;
constexpr int cm_maxGrowth = 1024;

}  // namespace

CUObArray::CUObArray(int size, int owns)
{
    SetSize(size);
    m_owns = owns;
}

CUObArray::~CUObArray()
{
    if (m_owns)
        DeleteAll();
    else
        RemoveAll();
}

void CUObArray::SetSize(int n)
{
    if (n <= 0) {
        delete[] m_items;
        m_items = nullptr;
        m_count = m_capacity = 0;
        return;
    }
    if (!m_items) {
        m_items = new CUObject*[n]();
        m_count = m_capacity = n;
        return;
    }
    if (n < m_capacity) {
        if (n > m_count)
            std::fill(m_items + m_count, m_items + n, nullptr);
        m_count = n;
        return;
    }
    int growth = std::clamp(m_count / 8, cm_minGrowth, cm_maxGrowth);
    int capacity = m_capacity + growth;
    if (n >= capacity)
        capacity = n;
    CUObject** items = new CUObject*[capacity]();
    std::copy(m_items, m_items + m_count, items);
    delete[] m_items;
    m_items = items;
    m_capacity = capacity;
    m_count = n;
}

int CUObArray::GetSize() const
{
    return m_count;
}

int CUObArray::GetCount() const
{
    return m_count;
}

int CUObArray::GetCapacity() const
{
    return m_capacity;
}

int CUObArray::IsEmpty() const
{
    return m_count == 0;
}

int CUObArray::IsOwning() const
{
    return m_owns != 0;
}

CUObject* CUObArray::GetAt(int i) const
{
    return i >= 0 && i < m_count ? m_items[i] : nullptr;
}

CUObject* CUObArray::operator[](int i) const
{
    return GetAt(i);
}

void CUObArray::SetAt(int i, CUObject* object)
{
    if (i < 0)
        return;
    if (i >= m_count)
        SetSize(i + 1);
    m_items[i] = object;
}

int CUObArray::Add(CUObject* object)
{
    SetSize(m_count + 1);
    m_items[m_count - 1] = object;
    return m_count - 1;
}

void CUObArray::Add(CUObArray& other)
{
    InsertAt(m_count, &other);
}

void CUObArray::InsertAt(int i, CUObject* object, int n)
{
    i = std::max(i, 0);
    if (n <= 0 || std::max(i, m_count) > INT_MAX - n)
        return;
    if (i >= m_count) {
        SetSize(i + n);
    } else {
        int oldCount = m_count;
        SetSize(m_count + n);
        std::copy_backward(m_items + i, m_items + oldCount, m_items + oldCount + n);
    }
    std::fill(m_items + i, m_items + i + n, object);
}

void CUObArray::InsertAt(int i, CUObArray* other)
{
    if (!other || other->m_count == 0)
        return;
    // Copy first: other may be this array, whose slots move while inserting.
    int n = other->m_count;
    CUObject** items = new CUObject*[n];
    std::copy(other->m_items, other->m_items + n, items);
    InsertAt(i, nullptr, n);
    i = std::clamp(i, 0, m_count - n);
    std::copy(items, items + n, m_items + i);
    delete[] items;
}

void CUObArray::RemoveAt(int i, int n)
{
    if (i < 0 || i >= m_count || n <= 0)
        return;
    n = std::min(n, m_count - i);
    std::copy(m_items + i + n, m_items + m_count, m_items + i);
    m_count -= n;
}

void CUObArray::DeleteAt(int i, int n)
{
    if (i < 0 || i >= m_count || n <= 0)
        return;
    n = std::min(n, m_count - i);
    for (int k = i; k < i + n; ++k) {
        delete m_items[k];
        m_items[k] = nullptr;
    }
    RemoveAt(i, n);
}

void CUObArray::RemoveAll()
{
    SetSize(0);
}

void CUObArray::DeleteAll()
{
    for (int k = 0; k < m_count; ++k) {
        delete m_items[k];
        m_items[k] = nullptr;
    }
    SetSize(0);
}

void CUObArray::Swap(int i, int j)
{
    if (i < 0 || j < 0 || i >= m_count || j >= m_count)
        return;
    std::swap(m_items[i], m_items[j]);
}

int CUObArray::Precedes(CUObject* x, CUObject* y, int ascending) const
{
    // A null slot has no order of its own; it never precedes or follows.
    if (!x || !y)
        return 0;
    return ascending ? (*x < *y) != 0 : (*x > *y) != 0;
}

void CUObArray::QuickSort(int low, int high, int ascending)
{
    while (low < high) {
        CUObject* pivot = m_items[(low + high) / 2];
        int i = low;
        int j = high;
        do {
            // The bounds only matter for objects whose operators contradict
            // each other; with a consistent order the pivot stops both scans.
            while (i < high && Precedes(m_items[i], pivot, ascending))
                ++i;
            while (j > low && Precedes(pivot, m_items[j], ascending))
                --j;
            if (i <= j) {
                std::swap(m_items[i], m_items[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (low < j)
            QuickSort(low, j, ascending);
        low = i;
    }
}

void CUObArray::Sort(int ascending)
{
    if (m_count > 1)
        QuickSort(0, m_count - 1, ascending);
}

int CUObArray::Find(CUObject* object) const
{
    for (int k = 0; k < m_count; ++k)
        if (m_items[k] == object)
            return k;
    return -1;
}

void CUObArray::Write(CUBuffer& buffer)
{
    int written = static_cast<int>(std::count_if(m_items, m_items + m_count,
                                                 [](CUObject* o) { return o != nullptr; }));
    buffer << written;
    for (int k = 0; k < m_count; ++k)
        if (m_items[k])
            m_items[k]->Write(buffer);
}
