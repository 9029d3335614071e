#include "app/engine/TGeoTiffSink.h"

#include <algorithm>

#include "formats/TGdalModule.h"

TGeoTiffSink::TGeoTiffSink(const std::string& StgFile, const TGridFrame& Frame,
                           const TRasterWriter::TSettings& Settings)
    : MbrFrame(Frame),
      MbrNoData(Settings.NoData.Value(), 17, true, static_cast<std::uint64_t>(Frame.LngCols)),
      MbrPtrWriter(TGdalModule::CreateGeoTiff(StgFile, Frame, Settings))
{
}

void TGeoTiffSink::Take(double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells)
{
    double* PtrCells = PtrPlanes[0];
    MbrNoData.Write(PtrCells, LngCells, LngFirst);
    const auto LngCols = static_cast<std::size_t>(MbrFrame.LngCols);
    while (LngCells > 0) {
        if (MbrVecRow.empty() && LngCells >= LngCols) {
            const std::size_t LngRows = LngCells / LngCols;
            MbrPtrWriter->WriteRows(PtrCells, static_cast<long>(LngRows));
            PtrCells += LngRows * LngCols;
            LngCells -= LngRows * LngCols;
            continue;
        }
        const std::size_t LngTake = std::min(LngCells, LngCols - MbrVecRow.size());
        MbrVecRow.insert(MbrVecRow.end(), PtrCells, PtrCells + LngTake);
        PtrCells += LngTake;
        LngCells -= LngTake;
        if (MbrVecRow.size() == LngCols) {
            MbrPtrWriter->WriteRows(MbrVecRow.data(), 1);
            MbrVecRow.clear();
        }
    }
}

std::uint64_t TGeoTiffSink::Finish()
{
    MbrPtrWriter->Finish();
    return MbrPtrWriter->ChangedCells();
}
