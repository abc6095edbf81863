#include <cordak/object.h>

CUObject::~CUObject() = default;

int CUObject::operator>(const CUObject&)
{
    return 0;
}

int CUObject::operator<(const CUObject&)
{
    return 0;
}

void CUObject::Read(CUBuffer&)
{
}

void CUObject::Write(CUBuffer&)
{
}

CUObject& CUObject::operator=(const CUObject&)
{
    return *this;
}
