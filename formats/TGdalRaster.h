#pragma once
// One band of a raster GDAL reads (a GeoTIFF, or any other of its formats),
// as a grid: its frame, no-data value and coordinate system, and its rows,
// north row first, as doubles. Memory: a row of GDAL's blocks (capped for
// very wide rasters) and GDAL's block cache, whatever the raster's height.
// One thread at a time.

#include <cstdint>
#include <memory>
#include <string>

#include "formats/TRasterReader.h"
#include "grid/TGridFrame.h"
#include "util/TNoData.h"

class TGdalRaster : public TRasterReader {
public:
    // Opens band LngBand (1 is the first) of the raster named. Throws
    // TFileError("Unable to open file NAME: " and GDAL's message) when GDAL
    // cannot open it, and TError for a raster no grid stands for: "NAME is
    // rotated: resample it first (gdalwarp)", "NAME is mirrored: resample it
    // first (gdalwarp)", "NAME has cells of W x H: resample it to square
    // cells first (gdalwarp -tr)", "NAME has N bands: there is no band K".
    // Cells are square as GDAL's ASCII grid writer judges them (width and
    // height within 1e-7). A south-up raster is read north row first, so is
    // one without a geotransform, which GDAL gives its default one (cells of
    // 1 from 0, south-up), as its ASCII grid writer does.
    TGdalRaster(const std::string& StgName, int LngBand = 1);
    ~TGdalRaster() override;
    TGdalRaster(const TGdalRaster&) = delete;
    TGdalRaster& operator=(const TGdalRaster&) = delete;

    // The west and south edges and the cell width, as GDAL's ASCII grid
    // writer computes them.
    const TGridFrame& Frame() const override { return MbrFrame; }
    // The band's no-data value when it has one (for a Float32 band, as a
    // float holds it, as its cells hold it).
    const TNoData& NoData() const override { return MbrNoData; }
    // GDAL's name of the band's data type ("Byte", "Int16", "Float32", ...).
    const std::string& TypeName() const { return MbrStgType; }
    // The coordinate system as GDAL gives it (OGC WKT); empty for none.
    const std::string& Wkt() const override { return MbrStgWkt; }
    // The same as the ESRI WKT gdal_translate writes in the .prj beside an
    // ASCII grid; empty for none.
    std::string EsriWkt() const override;

    // The next LngRows rows into PtrCells, as GDAL reads them as Float64.
    // Throws TFileError("Unable to read file NAME: " and GDAL's message).
    void ReadRows(double* PtrCells, long LngRows) override;
    long RowsRead() const { return MbrLngRowsRead; }
    // Back to the north row.
    void Restart() override { MbrLngRowsRead = 0; }

private:
    // Reads the rows of blocks that hold row LngRow (north row first).
    void LoadWindow(long LngRow);

    struct TDataset;

    std::string MbrStgName;
    std::unique_ptr<TDataset> MbrPtrDataset;
    TGridFrame MbrFrame;
    TNoData MbrNoData;
    std::string MbrStgType;
    std::string MbrStgWkt;
    bool MbrBlnSouthUp = false;
    long MbrLngWindowHeight = 1;
    // The rows held: from MbrLngWindowFirst, north row first.
    std::unique_ptr<double[]> MbrPtrWindow;
    long MbrLngWindowFirst = 0;
    long MbrLngWindowRows = 0;
    long MbrLngRowsRead = 0;
};
