#include "grid/TAxis.h"

#include <algorithm>

#include "grid/TAxisLookup.h"
#include "util/TError.h"
#include "grid/TGridSize.h"

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

} // namespace

TAxis::TAxis(double DblResolution) : MbrDblResolution(DblResolution) {}

TAxis::TAxis(double DblResolution, long LngSize)
    : MbrDblResolution(DblResolution), MbrVecPoints(TGridSize::Cells(LngSize, 1))
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
    return TAxisLookup(*this, ChrAxis).Index(DblValue);
}

std::vector<double> TAxis::GetValues(char ChrAxis) const
{
    std::vector<double> VecValues;
    VecValues.reserve(MbrVecPoints.size());
    for (long LngIndex = 0; LngIndex < GetSize(); ++LngIndex)
        VecValues.push_back(GetFilledPoint(LngIndex).GetComponent(ChrAxis));
    return VecValues;
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
    const TAxisLookup Lookup(*this, ChrAxis);
    const long LngStart = Lookup.Index(PtrStart->GetComponent(ChrAxis));
    const long LngEnd = Lookup.Index(PtrEnd->GetComponent(ChrAxis));
    return GetSegment(LngStart, LngEnd);
}

TAxis* TAxis::Clone() const
{
    return CloneSlots(MbrDblResolution, MbrVecPoints.begin(), MbrVecPoints.end());
}
