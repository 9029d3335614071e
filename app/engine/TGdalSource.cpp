#include "app/engine/TGdalSource.h"

#include <algorithm>

#include "formats/TGdalModule.h"

TGdalSource::TGdalSource(const std::string& StgName, int LngBand)
    : MbrStgName(StgName), MbrPtrRaster(TGdalModule::OpenRaster(StgName, LngBand)),
      MbrVecRow(static_cast<std::size_t>(MbrPtrRaster->Frame().LngCols))
{
}

TGridCrs TGdalSource::Crs() const
{
    return {"", MbrPtrRaster->Wkt(), MbrPtrRaster->EsriWkt()};
}

void TGdalSource::ReadCells(double* PtrCells, std::uint64_t LngCells)
{
    const auto LngCols = static_cast<std::uint64_t>(MbrPtrRaster->Frame().LngCols);
    double* PtrOut = PtrCells;
    std::uint64_t LngLeft = LngCells;
    while (LngLeft > 0) {
        const std::uint64_t LngColumn = MbrLngCellsRead % LngCols;
        if (LngColumn == 0 && LngLeft >= LngCols) {
            // Whole rows straight into place.
            const std::uint64_t LngRows = LngLeft / LngCols;
            MbrPtrRaster->ReadRows(PtrOut, static_cast<long>(LngRows));
            PtrOut += LngRows * LngCols;
            LngLeft -= LngRows * LngCols;
            MbrLngCellsRead += LngRows * LngCols;
            continue;
        }
        if (LngColumn == 0)
            MbrPtrRaster->ReadRows(MbrVecRow.data(), 1);
        const std::uint64_t LngTake = std::min(LngLeft, LngCols - LngColumn);
        std::copy(MbrVecRow.begin() + static_cast<long>(LngColumn),
                  MbrVecRow.begin() + static_cast<long>(LngColumn + LngTake), PtrOut);
        PtrOut += LngTake;
        LngLeft -= LngTake;
        MbrLngCellsRead += LngTake;
    }
    MbrPtrRaster->NoData().MarkCells(PtrCells, LngCells, PtrCells);
}

void TGdalSource::Restart()
{
    MbrPtrRaster->Restart();
    MbrLngCellsRead = 0;
}
