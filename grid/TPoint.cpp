#include "grid/TPoint.h"

#include <cmath>

TPoint* TPoint::Clone() const
{
    return new TPoint(*this);
}

double TPoint::Distance(const TPoint* PtrOther) const
{
    const double DblDX = MbrDblX - PtrOther->MbrDblX;
    const double DblDY = MbrDblY - PtrOther->MbrDblY;
    return std::sqrt(DblDX * DblDX + DblDY * DblDY);
}

TMapPoint* TMapPoint::Clone() const
{
    return new TMapPoint(*this);
}
