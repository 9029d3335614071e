#include "formats/TGeoTiffWriter.h"

#include <cpl_conv.h>
#include <cpl_string.h>

#include <algorithm>
#include <climits>

#include "formats/TGdalCells.h"
#include "formats/TGdalLibrary.h"
#include "util/TError.h"
#include "util/TNumberFormat.h"
#include "util/TSlices.h"

namespace {

constexpr int TileSize = 256;

// GDAL would keep what GeoTIFF tags cannot hold in an .aux.xml beside the
// file; nothing may be left beside it, so every call that writes has PAM off.
class TNoSidecar {
public:
    TNoSidecar() : MbrSetter("GDAL_PAM_ENABLED", "NO", false) {}

private:
    CPLConfigOptionSetter MbrSetter;
};

CPLStringList CreationOptions(GDALDataType Type)
{
    CPLStringList Options;
    Options.SetNameValue("TILED", "YES");
    Options.SetNameValue("BLOCKXSIZE", std::to_string(TileSize).c_str());
    Options.SetNameValue("BLOCKYSIZE", std::to_string(TileSize).c_str());
    Options.SetNameValue("COMPRESS", "DEFLATE");
    Options.SetNameValue("PREDICTOR", GDALDataTypeIsFloating(Type) ? "3" : "2");
    Options.SetNameValue("BIGTIFF", "IF_SAFER");
    // Tiles are compressed on all threads; each on its own, so the file is
    // the same whatever their number.
    Options.SetNameValue("NUM_THREADS", std::to_string(TSlices::Threads()).c_str());
    return Options;
}

}  // namespace

struct TGeoTiffWriter::TDataset {
    TGdalDataset Handle;
    GDALRasterBandH PtrBand = nullptr;
    GDALDataType Type = GDT_Unknown;
};

TGeoTiffWriter::TGeoTiffWriter(const std::string& StgName, const TGridFrame& Frame,
                               const TSettings& Settings)
    : MbrStgName(StgName), MbrFrame(Frame), MbrPtrDataset(std::make_unique<TDataset>())
{
    TGdalLibrary::Start();
    const GDALDataType Type = TGdalCells::WritableType(Settings.StgType);
    if (Settings.NoData.Given() && !TGdalCells::Holds(Type, Settings.NoData.Value()))
        throw TError("the no-data value " + TNumberFormat::ToString(Settings.NoData.Value())
                     + " cannot be held in " + Settings.StgType);
    if (Frame.LngCols > INT_MAX || Frame.LngRows > INT_MAX)
        throw TError(StgName + ": a GeoTIFF holds at most " + std::to_string(INT_MAX)
                     + " columns and rows");
    MbrPtrDataset->Type = Type;
    MbrLngCellBytes = static_cast<std::size_t>(GDALGetDataTypeSizeBytes(Type));

    const TNoSidecar NoSidecar;
    const TGdalErrors Errors;
    MbrPtrDataset->Handle.reset(
        GDALCreate(GDALGetDriverByName("GTiff"), StgName.c_str(), static_cast<int>(Frame.LngCols),
                   static_cast<int>(Frame.LngRows), 1, Type, CreationOptions(Type).List()));
    GDALDatasetH PtrHandle = MbrPtrDataset->Handle.get();
    if (!PtrHandle)
        throw TFileError("Unable to open file " + StgName + Errors.Detail());
    double ArrTransform[6] = {Frame.West(),      Frame.DblCellSize, 0, Frame.North(), 0,
                              -Frame.DblCellSize};
    MbrPtrDataset->PtrBand = GDALGetRasterBand(PtrHandle, 1);
    if (GDALSetGeoTransform(PtrHandle, ArrTransform) != CE_None
        || (Settings.NoData.Given()
            && GDALSetRasterNoDataValue(MbrPtrDataset->PtrBand, Settings.NoData.Value())
                   != CE_None))
        ThrowUnableToWrite(Errors.Detail());
    if (!Settings.StgWkt.empty()
        && GDALSetProjection(PtrHandle, Settings.StgWkt.c_str()) != CE_None)
        throw TError("the coordinate system for " + StgName + " is no WKT GDAL reads"
                     + Errors.Detail());
    MbrVecStrip.resize(static_cast<std::size_t>(TileSize) * static_cast<std::size_t>(Frame.LngCols)
                       * MbrLngCellBytes);
}

TGeoTiffWriter::~TGeoTiffWriter()
{
    const TNoSidecar NoSidecar;
    MbrPtrDataset->Handle.reset();
}

void TGeoTiffWriter::WriteRows(const double* PtrCells, long LngRows)
{
    const auto LngCols = static_cast<std::size_t>(MbrFrame.LngCols);
    if (LngRows > MbrFrame.LngRows - MbrLngStripFirst - MbrLngStripRows)
        throw TError(MbrStgName + " has no room for more rows");
    while (LngRows > 0) {
        const long LngTaken = std::min<long>(LngRows, TileSize - MbrLngStripRows);
        const std::size_t LngCells = static_cast<std::size_t>(LngTaken) * LngCols;
        MbrLngChanged += TGdalCells::Convert(PtrCells, LngCells, MbrPtrDataset->Type,
                                             MbrVecStrip.data()
                                                 + static_cast<std::size_t>(MbrLngStripRows)
                                                       * LngCols * MbrLngCellBytes);
        PtrCells += LngCells;
        MbrLngStripRows += LngTaken;
        LngRows -= LngTaken;
        if (MbrLngStripRows == TileSize)
            WriteStrip();
    }
}

void TGeoTiffWriter::WriteStrip()
{
    if (MbrLngStripRows == 0)
        return;
    const TNoSidecar NoSidecar;
    const TGdalErrors Errors;
    const int LngCols = static_cast<int>(MbrFrame.LngCols);
    if (GDALRasterIO(MbrPtrDataset->PtrBand, GF_Write, 0, static_cast<int>(MbrLngStripFirst),
                     LngCols, static_cast<int>(MbrLngStripRows), MbrVecStrip.data(), LngCols,
                     static_cast<int>(MbrLngStripRows), MbrPtrDataset->Type, 0, 0)
            != CE_None
        || GDALFlushRasterCache(MbrPtrDataset->PtrBand) != CE_None)
        ThrowUnableToWrite(Errors.Detail());
    MbrLngStripFirst += MbrLngStripRows;
    MbrLngStripRows = 0;
}

void TGeoTiffWriter::Finish()
{
    WriteStrip();
    if (MbrLngStripFirst != MbrFrame.LngRows)
        throw TError(MbrStgName + ": " + std::to_string(MbrFrame.LngRows - MbrLngStripFirst)
                     + " rows were not written");
    const TNoSidecar NoSidecar;
    const TGdalErrors Errors;
    MbrPtrDataset->Handle.reset();
    if (Errors.Failed())
        ThrowUnableToWrite(Errors.Detail());
}

void TGeoTiffWriter::ThrowUnableToWrite(const std::string& StgDetail) const
{
    throw TFileError("Unable to write file " + MbrStgName + StgDetail);
}
