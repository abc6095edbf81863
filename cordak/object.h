// CUObject: root of every serialisable class, and the base of the containers.
//
// A derived class streams its members in declaration order through Write and
// Read; there are no type tags, so whoever reads knows the class it expects.
// The ordering operators are what CUObArray::Sort and CUObList::Sort use.
#pragma once

class CUBuffer;

class CUObject
{
public:
    virtual ~CUObject();

    // Ordering used by the sorting containers; the base has no order (0).
    virtual int operator>(const CUObject& other);
    virtual int operator<(const CUObject& other);

    // Move the object to and from a buffer; the base stores nothing.
    virtual void Read(CUBuffer& buffer);
    virtual void Write(CUBuffer& buffer);

protected:
    CUObject() = default;

private:
    // Objects are not copied through the root: derived classes copy their own
    // members.
    CUObject(const CUObject&) = delete;
    virtual CUObject& operator=(const CUObject& other);
};
