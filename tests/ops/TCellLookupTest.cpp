// Partner cells against the ordinary read of each cell.
#include "ops/OpsTestSupport.h"
#include "ops/TCellLookup.h"

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
