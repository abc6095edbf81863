// A small serialisable object for the container tests: an int key, a string
// key and a depth to sort by; it counts its own destructions.
#pragma once

#include <cordak/buffer.h>
#include <cordak/object.h>
#include <cordak/ustring.h>

#include <cstddef>

class TestItem : public CUObject
{
public:
    explicit TestItem(int id, char const* name = "", int depth = 0, int* deaths = nullptr)
        : m_id(id), m_name(name), m_depth(depth), m_deaths(deaths)
    {
    }
    ~TestItem() override
    {
        if (m_deaths)
            ++*m_deaths;
    }

    int operator<(const CUObject& other) override
    {
        return m_depth < static_cast<const TestItem&>(other).m_depth;
    }
    int operator>(const CUObject& other) override
    {
        return m_depth > static_cast<const TestItem&>(other).m_depth;
    }
    void Write(CUBuffer& b) override { b << m_id << m_name; }
    void Read(CUBuffer& b) override { b >> m_id >> m_name; }

    // Byte offsets of the key members, as the map and list lookups take them.
    static int IdOffset()
    {
        TestItem probe(0);
        return static_cast<int>(reinterpret_cast<char*>(&probe.m_id) -
                                reinterpret_cast<char*>(static_cast<CUObject*>(&probe)));
    }
    static int NameOffset()
    {
        TestItem probe(0);
        return static_cast<int>(reinterpret_cast<char*>(&probe.m_name) -
                                reinterpret_cast<char*>(static_cast<CUObject*>(&probe)));
    }

    int m_id;
    CUString m_name;
    int m_depth;
    int* m_deaths;
};
