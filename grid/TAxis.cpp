#include "grid/TAxis.h"

#include <algorithm>

#include "grid/TError.h"

namespace {

using TPointSlots = std::vector<std::unique_ptr<TPoint>>;

// A new axis holding clones of the slots [ItFirst, ItLast); empty slots stay empty.
TAxis* CloneSlots(double DblResolution, TPointSlots::const_iterator ItFirst,
                  TPointSlots::const_iterator ItLast)
{
    auto PtrAxis = std::make_unique<TAxis>(DblResolution, static_cast<long>(ItLast - ItFirst));
    for (long LngIndex = 0; ItFirst != ItLast; ++ItFirst, ++LngIndex)
        if (*ItFirst)
            PtrAxis->SetPoint(LngIndex, (*ItFirst)->Clone());
    return PtrAxis.release();
}

// The component of the point that the axis letter names.
double Component(const TPoint& Point, char ChrAxis)
{
    return ChrAxis == 'X' ? Point.GetX() : Point.GetY();
}

} // namespace

TAxis::TAxis(double DblResolution) : MbrDblResolution(DblResolution) {}

TAxis::TAxis(double DblResolution, long LngSize)
    : MbrDblResolution(DblResolution), MbrVecPoints(static_cast<std::size_t>(LngSize))
{
}

TAxis::~TAxis() = default;

void TAxis::SetPoint(long LngIndex, TPoint* PtrPoint)
{
    if (LngIndex < 0 || LngIndex >= GetSize())
        throw TError("Index is out of range in TAxis::SetPoint");
    // Storing the point already held must not free it.
    if (MbrVecPoints[LngIndex].get() != PtrPoint)
        MbrVecPoints[LngIndex].reset(PtrPoint);
}

TPoint* TAxis::GetPoint(long LngIndex) const
{
    if (LngIndex < 0 || LngIndex >= GetSize())
        throw TError("Index is out of range in TAxis::GetPoint");
    return MbrVecPoints[LngIndex].get();
}

const TPoint& TAxis::GetFilledPoint(long LngIndex) const
{
    const TPoint* PtrPoint = GetPoint(LngIndex);
    if (!PtrPoint)
        throw TError("Point is not set in TAxis::GetPoint");
    return *PtrPoint;
}

long TAxis::GetIndex(double DblValue, char ChrAxis) const
{
    const long LngSize = GetSize();
    if (LngSize == 0)
        return -1;

    const double DblFirst = Component(GetFilledPoint(0), ChrAxis);
    const double DblLast = Component(GetFilledPoint(LngSize - 1), ChrAxis);
    if (DblValue < std::min(DblFirst, DblLast) || DblValue > std::max(DblFirst, DblLast))
        throw TError("Ordinate is out of range in TAxis::GetIndex");

    // The axis is taken to be monotonic; the end points alone bound the search.
    double DblA = DblFirst;
    for (long LngIndex = 0; LngIndex + 1 < LngSize; ++LngIndex) {
        const double DblB = Component(GetFilledPoint(LngIndex + 1), ChrAxis);
        if (std::min(DblA, DblB) <= DblValue && DblValue < std::max(DblA, DblB))
            return LngIndex;
        DblA = DblB;
    }
    return -1;
}

TAxis* TAxis::GetSegment(long LngStart, long LngEnd) const
{
    if (LngStart < 0 || LngStart >= GetSize())
        throw TError("Start index is out of range in TAxis::GetSegment");
    if (LngEnd < 0 || LngEnd >= GetSize())
        throw TError("End index is out of range in TAxis::GetSegment");
    if (LngStart > LngEnd)
        throw TError("Start index is greater than end index in TAxis::GetSegment");
    return CloneSlots(MbrDblResolution, MbrVecPoints.begin() + LngStart,
                      MbrVecPoints.begin() + LngEnd + 1);
}

TAxis* TAxis::GetSegment(const TPoint* PtrStart, const TPoint* PtrEnd, char ChrAxis) const
{
    const long LngStart = GetIndex(Component(*PtrStart, ChrAxis), ChrAxis);
    const long LngEnd = GetIndex(Component(*PtrEnd, ChrAxis), ChrAxis);
    return GetSegment(LngStart, LngEnd);
}

TAxis* TAxis::Clone() const
{
    return CloneSlots(MbrDblResolution, MbrVecPoints.begin(), MbrVecPoints.end());
}
