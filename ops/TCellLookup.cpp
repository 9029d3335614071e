#include "ops/TCellLookup.h"

#include <memory>
#include <stdexcept>

#include "grid/TAxisLookup.h"
#include "util/TError.h"

namespace {

// Each centre's index in the partner's edges, or a negative value for a
// centre outside them or in no cell; LngFirstFailure is the first such
// centre's place, or -1.
std::vector<long> Indices(const TAxis& PartnerEdges, const TAxis& Centres, char ChrAxis,
                          long& LngFirstFailure)
{
    const TAxisLookup Lookup(PartnerEdges, ChrAxis);
    std::vector<long> VecIndices;
    VecIndices.reserve(static_cast<std::size_t>(Centres.GetSize()));
    LngFirstFailure = -1;
    for (double DblCentre : Centres.GetValues(ChrAxis)) {
        const long LngFound = Lookup.Find(DblCentre);
        if (LngFound < 0 && LngFirstFailure < 0)
            LngFirstFailure = static_cast<long>(VecIndices.size());
        VecIndices.push_back(LngFound);
    }
    return VecIndices;
}

}  // namespace

TPartnerCells TPartnerCells::Of(const TMap& Driving, const TMap& Partner)
{
    if (Driving.GetXDim() == 0 || Driving.GetYDim() == 0)
        return {};
    long LngBadCol = 0;
    long LngBadRow = 0;
    TPartnerCells Cells;
    if (Partner.HasAxes() && Driving.HasAxes())
        Cells = {Indices(*Partner.GetXAxisInterval(), *Driving.GetXAxis(), 'X', LngBadCol),
                 Indices(*Partner.GetYAxisInterval(), *Driving.GetYAxis(), 'Y', LngBadRow)};
    if (LngBadCol < 0 && LngBadRow < 0)
        return Cells;
    // The first failing cell, rows outer: row 0 when any column fails, and
    // column 0 of a failing row. Reading it the ordinary way throws what that
    // cell throws (a map without axes fails at the first cell).
    const long LngY = LngBadCol >= 0 || LngBadRow == 0 ? 0 : LngBadRow;
    const long LngX = LngBadRow == LngY ? 0 : LngBadCol;
    const std::unique_ptr<TPoint> PtrCentre(Driving.GetCoordinates(LngX, LngY));
    Partner.GetPointVal(PtrCentre.get());
    throw std::logic_error("TPartnerCells: the failing cell was read");
}
