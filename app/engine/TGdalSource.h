#pragma once
// One band of a raster GDAL reads (a GeoTIFF first) as a row source: cells
// as GDAL reads them as Float64, its no-data cells marked, its coordinate
// system carried to the outputs.

#include "app/engine/TRowSource.h"
#include <memory>
#include <vector>

#include "formats/TRasterReader.h"

class TGdalSource : public TRowSource {
public:
    TGdalSource(const std::string& StgName, int LngBand);

    const std::string& Name() const override { return MbrStgName; }
    std::string Shown() const override { return MbrStgName; }
    const TGridFrame& Frame() const override { return MbrPtrRaster->Frame(); }
    const TNoData& NoData() const override { return MbrPtrRaster->NoData(); }
    TGridCrs Crs() const override;
    bool Flowing() const override { return false; }
    void ReadCells(double* PtrCells, std::uint64_t LngCells) override;
    std::uint64_t CellsRead() const override { return MbrLngCellsRead; }
    void Restart() override;
    void ReadOnce() override {}

private:
    std::string MbrStgName;
    std::unique_ptr<TRasterReader> MbrPtrRaster;
    // The row read last, for reads that end inside a row.
    std::vector<double> MbrVecRow;
    std::uint64_t MbrLngCellsRead = 0;
};
