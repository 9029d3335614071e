#include "formats/TGdalCells.h"

#include <algorithm>
#include <cmath>

#include "util/TError.h"

namespace {

// The types a GeoTIFF is written in, those the GDAL in use knows: each holds
// every one of its values exactly as a double, so converting back tells
// what changed.
const char* const ArrWritable[] = {"Byte",  "Int8",   "Int16",   "UInt16",
                                   "Int32", "UInt32", "Float32", "Float64"};

bool SameValue(double DblBefore, double DblAfter)
{
    return DblBefore == DblAfter || (std::isnan(DblBefore) && std::isnan(DblAfter));
}

}  // namespace

GDALDataType TGdalCells::WritableType(const std::string& StgName)
{
    std::string StgKnown;
    for (const char* PtrName : ArrWritable) {
        const GDALDataType Type = GDALGetDataTypeByName(PtrName);
        if (Type == GDT_Unknown)
            continue;
        if (StgName == PtrName)
            return Type;
        StgKnown += (StgKnown.empty() ? "" : ", ") + std::string(PtrName);
    }
    throw TError("unknown data type " + StgName + ": one of " + StgKnown);
}

std::uint64_t TGdalCells::Convert(const double* PtrCells, std::size_t LngCount, GDALDataType Type,
                                  void* PtrOut)
{
    constexpr std::size_t Piece = 4096;
    const int LngSize = GDALGetDataTypeSizeBytes(Type);
    auto* PtrBytes = static_cast<unsigned char*>(PtrOut);
    double ArrBack[Piece];
    std::uint64_t LngChanged = 0;
    for (std::size_t LngFrom = 0; LngFrom < LngCount; LngFrom += Piece) {
        const int LngPiece = static_cast<int>(std::min(Piece, LngCount - LngFrom));
        void* PtrPiece = PtrBytes + LngFrom * static_cast<std::size_t>(LngSize);
        GDALCopyWords(PtrCells + LngFrom, GDT_Float64, sizeof(double), PtrPiece, Type, LngSize,
                      LngPiece);
        GDALCopyWords(PtrPiece, Type, LngSize, ArrBack, GDT_Float64, sizeof(double), LngPiece);
        for (int LngCell = 0; LngCell < LngPiece; ++LngCell)
            if (!SameValue(PtrCells[LngFrom + static_cast<std::size_t>(LngCell)], ArrBack[LngCell]))
                ++LngChanged;
    }
    return LngChanged;
}

bool TGdalCells::Holds(GDALDataType Type, double DblValue)
{
    unsigned char ArrBytes[sizeof(double)];
    return Convert(&DblValue, 1, Type, ArrBytes) == 0;
}
