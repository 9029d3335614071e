// Cell lookups by bisection against the axis's own interval lookup.
#include <cmath>
#include <limits>
#include <random>

#include "ops/OpsTestSupport.h"
#include "ops/TCellLookup.h"

namespace {

// The index, or the message of the failure.
template <class TLookup>
std::string Outcome(TLookup Lookup)
{
    try {
        return std::to_string(Lookup());
    } catch (const TError& Error) {
        return Error.what();
    }
}

}  // namespace

TEST(TCellLookup, EdgeLookupGivesWhatTheAxisGives)
{
    std::mt19937_64 Random(5);
    const std::vector<TValues> VecAxes = {
        {0, 1, 2, 3},       {3, 2, 1, 0},          {0, 1, 1, 2},   {2, 1, 1, 0},
        {0, 0.1, 0.2, 0.30000000000000004},        {5},            {1, 1},
        {0, 2, 1, 3},       {-1e300, 0, 1e300},    {7, 7, 7},
    };
    for (const TValues& VecEdges : VecAxes) {
        const auto PtrAxis = MakeAxis(1, VecEdges, 'Y');
        const TEdgeLookup Lookup(*PtrAxis, 'Y');
        TValues VecProbes = {std::numeric_limits<double>::quiet_NaN(), -1e308, 1e308};
        for (double DblEdge : VecEdges)
            for (double DblStep : {-0.5, -1e-9, 0.0, 1e-9, 0.5})
                VecProbes.push_back(DblEdge + DblStep);
        for (int LngI = 0; LngI < 20; ++LngI)
            VecProbes.push_back(std::uniform_real_distribution<double>(-2, 5)(Random));
        for (double DblProbe : VecProbes)
            EXPECT_EQ(Outcome([&] { return Lookup.Index(DblProbe); }),
                      Outcome([&] { return PtrAxis->GetIndex(DblProbe, 'Y'); }))
                << "axis starting " << VecEdges[0] << ", value " << DblProbe;
    }
}

TEST(TCellLookup, PartnerCellsFailAtTheFirstCellTheOrdinaryReadFailsAt)
{
    // Partners shifted about a driving map, so that columns, rows or both
    // fall outside them or on their east or north edges.
    const auto PtrDriving = MakeMap(4, 3, 1, 0, 3);
    for (double DblWest : {-1.5, -0.5, 0.0, 0.6})
        for (double DblNorth : {2.4, 3.0, 3.5, 4.5}) {
            const auto PtrPartner = MakeMap(2, 2, 2, DblWest, DblNorth);
            std::string StgExpected = "covered";
            try {
                for (long LngY = 0; LngY < 3; ++LngY)
                    for (long LngX = 0; LngX < 4; ++LngX) {
                        const std::unique_ptr<TPoint> PtrCentre(PtrDriving->GetCoordinates(LngX, LngY));
                        PtrPartner->GetPointVal(PtrCentre.get());
                    }
            } catch (const TError& Error) {
                StgExpected = Error.what();
            }
            std::string StgActual = "covered";
            try {
                const TPartnerCells Cells = TPartnerCells::Of(*PtrDriving, *PtrPartner);
                EXPECT_EQ(Cells.VecCols.size(), 4u);
                for (long LngX = 0; LngX < 4; ++LngX)
                    EXPECT_EQ(Cells.VecCols[LngX], PtrPartner->GetIndex(LngX + 0.5, 'X'));
            } catch (const TError& Error) {
                StgActual = Error.what();
            }
            EXPECT_EQ(StgActual, StgExpected) << "west " << DblWest << ", north " << DblNorth;
        }
}
