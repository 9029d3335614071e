#pragma once
// Output cells written as a GeoTIFF through the formats layer: no-data cells
// (the marker) as the output's no-data value, a data cell equal to it
// refused, runs of cells gathered into whole rows.

#include <memory>
#include <vector>

#include "app/engine/TNoDataCells.h"
#include "app/engine/TGridSink.h"
#include "formats/TRasterWriter.h"
#include "grid/TGridFrame.h"

class TGeoTiffSink : public TGridSink {
public:
    // Writes the file named.
    TGeoTiffSink(const std::string& StgFile, const TGridFrame& Frame, const TRasterWriter::TSettings& Settings);

    void Take(double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells) override;
    std::uint64_t Finish() override;

private:
    TGridFrame MbrFrame;
    TNoDataCells MbrNoData;
    std::unique_ptr<TRasterWriter> MbrPtrWriter;
    // The cells of a row begun but not ended.
    std::vector<double> MbrVecRow;
};
