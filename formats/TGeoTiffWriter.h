#pragma once
// A grid written as a GeoTIFF through GDAL, rows in order, any number at a
// time: one band, tiled 256 x 256, DEFLATE compressed with the predictor of
// its type (floating-point for real types, horizontal differencing for
// integers), BigTIFF where the size may need it. Cells are converted to the
// type as gdal_translate -ot converts them, and the cells whose value
// changed are counted. Memory: a row of tiles, converted.
//
// The file is written under the name given, without any file beside it
// (no .aux.xml), so it can be written under a temporary name and renamed
// once finished. A failure leaves what was written for the caller to remove.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/TRasterWriter.h"
#include "grid/TGridFrame.h"
#include "util/TNoData.h"

class TGeoTiffWriter : public TRasterWriter {
public:
    // Creates the file, replacing what the name holds. Before creating
    // anything, throws TError("unknown data type NAME: one of ...") and
    // TError("the no-data value V cannot be held in TYPE"); then
    // TFileError("Unable to open file NAME: " and GDAL's message) when GDAL
    // cannot create it, and TError for a WKT GDAL does not read.
    TGeoTiffWriter(const std::string& StgName, const TGridFrame& Frame, const TSettings& Settings);
    ~TGeoTiffWriter() override;
    TGeoTiffWriter(const TGeoTiffWriter&) = delete;
    TGeoTiffWriter& operator=(const TGeoTiffWriter&) = delete;

    // The next LngRows rows, north row first; no-data cells hold the no-data
    // value. Throws TFileError("Unable to write file NAME: ...").
    void WriteRows(const double* PtrCells, long LngRows) override;
    // The cells written so far whose value the type changed (a no-data cell
    // never changes: its value is one the type holds).
    std::uint64_t ChangedCells() const override { return MbrLngChanged; }
    // Writes what is held and closes the file, complete. Throws
    // TFileError("Unable to write file NAME: ...") when GDAL fails, and
    // TError when rows are missing.
    void Finish() override;

private:
    struct TDataset;

    // Writes the rows held to the file and lets GDAL compress their tiles.
    void WriteStrip();
    [[noreturn]] void ThrowUnableToWrite(const std::string& StgDetail) const;

    std::string MbrStgName;
    TGridFrame MbrFrame;
    std::unique_ptr<TDataset> MbrPtrDataset;
    std::size_t MbrLngCellBytes;
    std::vector<unsigned char> MbrVecStrip;
    long MbrLngStripFirst = 0;
    long MbrLngStripRows = 0;
    std::uint64_t MbrLngChanged = 0;
};
