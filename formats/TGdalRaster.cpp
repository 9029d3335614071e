#include "formats/TGdalRaster.h"

#include <cpl_conv.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "formats/TCoordinateSystem.h"
#include "formats/TGdalLibrary.h"
#include "util/TError.h"
#include "util/TNumberFormat.h"
#include "util/TSlices.h"

namespace {

// A window holds at most this many cells (32 MiB), a row of blocks unless
// the raster is very wide.
constexpr long WindowCells = long{1} << 22;
// GDAL's ASCII grid writer takes cells this close to square for square.
constexpr double SquareTolerance = 1e-7;

// GDAL's messages begin with the file name at times; the message names it
// already.
std::string WithoutName(const std::string& StgDetail, const std::string& StgName)
{
    const std::string StgPrefix = ": " + StgName + ": ";
    if (StgDetail.compare(0, StgPrefix.size(), StgPrefix) == 0)
        return ": " + StgDetail.substr(StgPrefix.size());
    return StgDetail;
}

// The frame of a north-up or south-up geotransform, as GDAL's ASCII grid
// writer computes it; throws for the others.
TGridFrame FrameOf(const double* ArrTransform, long LngCols, long LngRows,
                   const std::string& StgName)
{
    if (ArrTransform[2] != 0 || ArrTransform[4] != 0)
        throw TError(StgName + " is rotated: resample it first (gdalwarp)");
    const double DblWidth = ArrTransform[1];
    const double DblHeight = std::fabs(ArrTransform[5]);
    if (!(DblWidth > 0))
        throw TError(StgName + " is mirrored: resample it first (gdalwarp)");
    if (!(std::fabs(DblWidth - DblHeight) < SquareTolerance))
        throw TError(StgName + " has cells of " + TNumberFormat::ToString(DblWidth) + " x "
                     + TNumberFormat::ToString(DblHeight)
                     + ": resample it to square cells first (gdalwarp -tr)");
    const double DblSouth = ArrTransform[5] > 0
                                ? ArrTransform[3]
                                : ArrTransform[3] + static_cast<double>(LngRows) * ArrTransform[5];
    const TGridFrame Frame{LngCols, LngRows, ArrTransform[0], DblSouth, DblWidth};
    if (!std::isfinite(Frame.West()) || !std::isfinite(Frame.South())
        || !std::isfinite(Frame.East()) || !std::isfinite(Frame.North()))
        throw TError(StgName + ": the grid extent is out of range");
    return Frame;
}

TNoData NoDataOf(GDALRasterBandH PtrBand)
{
    int LngGiven = 0;
    const double DblValue = GDALGetRasterNoDataValue(PtrBand, &LngGiven);
    if (!LngGiven)
        return TNoData();
    const auto FltValue = static_cast<float>(DblValue);
    const bool BlnFloat = GDALGetRasterDataType(PtrBand) == GDT_Float32;
    return TNoData(BlnFloat && std::isfinite(FltValue) ? static_cast<double>(FltValue) : DblValue);
}

void ReverseRows(double* PtrCells, long LngCols, long LngRows)
{
    for (long LngTop = 0, LngBottom = LngRows - 1; LngTop < LngBottom; ++LngTop, --LngBottom)
        std::swap_ranges(PtrCells + LngTop * LngCols, PtrCells + (LngTop + 1) * LngCols,
                         PtrCells + LngBottom * LngCols);
}

}  // namespace

struct TGdalRaster::TDataset {
    TGdalDataset Handle;
    GDALRasterBandH PtrBand = nullptr;
};

TGdalRaster::TGdalRaster(const std::string& StgName, int LngBand)
    : MbrStgName(StgName), MbrPtrDataset(std::make_unique<TDataset>())
{
    TGdalLibrary::Start();
    const TGdalErrors Errors;
    MbrPtrDataset->Handle.reset(
        GDALOpenEx(StgName.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR,
                   nullptr, nullptr, nullptr));
    GDALDatasetH PtrHandle = MbrPtrDataset->Handle.get();
    if (!PtrHandle)
        throw TFileError("Unable to open file " + StgName + WithoutName(Errors.Detail(), StgName));
    const int LngBands = GDALGetRasterCount(PtrHandle);
    if (LngBand < 1 || LngBand > LngBands)
        throw TError(StgName + " has " + std::to_string(LngBands)
                     + (LngBands == 1 ? " band" : " bands") + ": there is no band "
                     + std::to_string(LngBand));
    GDALRasterBandH PtrBand = GDALGetRasterBand(PtrHandle, LngBand);
    MbrPtrDataset->PtrBand = PtrBand;

    const long LngCols = GDALGetRasterXSize(PtrHandle);
    const long LngRows = GDALGetRasterYSize(PtrHandle);
    // Without a geotransform, GDAL gives its default one, as its own writers
    // take it.
    double ArrTransform[6];
    GDALGetGeoTransform(PtrHandle, ArrTransform);
    MbrFrame = FrameOf(ArrTransform, LngCols, LngRows, StgName);
    MbrBlnSouthUp = ArrTransform[5] > 0;
    MbrNoData = NoDataOf(PtrBand);
    MbrStgType = GDALGetDataTypeName(GDALGetRasterDataType(PtrBand));
    const char* PtrWkt = GDALGetProjectionRef(PtrHandle);
    MbrStgWkt = PtrWkt ? PtrWkt : "";

    int LngBlockCols = 0;
    int LngBlockRows = 0;
    GDALGetBlockSize(PtrBand, &LngBlockCols, &LngBlockRows);
    MbrLngWindowHeight =
        std::max(1L, std::min<long>(LngBlockRows, WindowCells / std::max(1L, LngCols)));
    MbrPtrWindow =
        std::make_unique<double[]>(static_cast<std::size_t>(MbrLngWindowHeight * LngCols));
}

TGdalRaster::~TGdalRaster() = default;

std::string TGdalRaster::EsriWkt() const
{
    return TCoordinateSystem::EsriWkt(MbrStgWkt);
}

void TGdalRaster::ReadRows(double* PtrCells, long LngRows)
{
    const long LngCols = MbrFrame.LngCols;
    if (LngRows > MbrFrame.LngRows - MbrLngRowsRead)
        throw TError(MbrStgName + " has no more rows to read");
    while (LngRows > 0) {
        if (MbrLngRowsRead < MbrLngWindowFirst
            || MbrLngRowsRead >= MbrLngWindowFirst + MbrLngWindowRows)
            LoadWindow(MbrLngRowsRead);
        const long LngTaken =
            std::min(LngRows, MbrLngWindowFirst + MbrLngWindowRows - MbrLngRowsRead);
        const double* PtrFrom = MbrPtrWindow.get() + (MbrLngRowsRead - MbrLngWindowFirst) * LngCols;
        std::memcpy(PtrCells, PtrFrom,
                    sizeof(double) * static_cast<std::size_t>(LngTaken * LngCols));
        PtrCells += LngTaken * LngCols;
        MbrLngRowsRead += LngTaken;
        LngRows -= LngTaken;
    }
}

void TGdalRaster::LoadWindow(long LngRow)
{
    const long LngRows = MbrFrame.LngRows;
    const long LngFileRow = MbrBlnSouthUp ? LngRows - 1 - LngRow : LngRow;
    const long LngFirst = LngFileRow / MbrLngWindowHeight * MbrLngWindowHeight;
    const long LngCount = std::min(MbrLngWindowHeight, LngRows - LngFirst);
    // GTiff decodes the blocks of one request on several threads.
    const CPLConfigOptionSetter Threads("GDAL_NUM_THREADS",
                                        std::to_string(TSlices::Threads()).c_str(), true);
    const TGdalErrors Errors;
    MbrLngWindowRows = 0;
    if (GDALRasterIO(MbrPtrDataset->PtrBand, GF_Read, 0, static_cast<int>(LngFirst),
                     static_cast<int>(MbrFrame.LngCols), static_cast<int>(LngCount),
                     MbrPtrWindow.get(), static_cast<int>(MbrFrame.LngCols),
                     static_cast<int>(LngCount), GDT_Float64, 0, 0)
        != CE_None)
        throw TFileError("Unable to read file " + MbrStgName
                         + WithoutName(Errors.Detail(), MbrStgName));
    if (MbrBlnSouthUp)
        ReverseRows(MbrPtrWindow.get(), MbrFrame.LngCols, LngCount);
    MbrLngWindowFirst = MbrBlnSouthUp ? LngRows - LngFirst - LngCount : LngFirst;
    MbrLngWindowRows = LngCount;
}
