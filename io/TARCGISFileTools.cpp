#include "io/TARCGISFileTools.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <utility>

#include "util/TError.h"
#include "io/TGridHeader.h"
#include "io/TGridReader.h"
#include "io/TOutputFile.h"
#include "util/TMemoryLimit.h"
#include "util/TRowWriter.h"

namespace {

// Cells land in one block as windows of them are read.
class TBlockSink : public TGridReader::TCellSink {
public:
    explicit TBlockSink(TCellBlock& Cells) : MbrCells(Cells) {}

    void BeginWindow(std::uint64_t LngCellsAfter, std::size_t) override
    {
        MbrCells.Resize(static_cast<std::size_t>(LngCellsAfter));
    }
    void Take(std::size_t, double* PtrCells, std::size_t LngCount, std::uint64_t LngFirst) override
    {
        std::memcpy(MbrCells.Data() + LngFirst, PtrCells, LngCount * sizeof(double));
    }
    void EndWindow() override {}

private:
    TCellBlock& MbrCells;
};

// The block is reserved for the cells the header declares, which takes
// address space only: a header that declares far more cells than the body
// holds costs no memory for the missing ones. Where even the address space
// cannot be had, the block grows as cells arrive. A grid too large for
// memory is read through, so that a fault in the body is reported first,
// and then refused.
std::unique_ptr<TMap> ReadGrid(TGridReader& Reader)
{
    const TGridHeader& Header = Reader.Header();
    if (!TMemoryLimit::Fits(Header.MapBytes())) {
        Reader.SkipRemainingCells();
        TGridHeader::ThrowTooLarge();
    }
    TCellBlock Cells;
    try {
        Cells.Reserve(static_cast<std::size_t>(Reader.CellCount()));
    } catch (const std::bad_alloc&) {
    }
    TBlockSink Sink(Cells);
    Reader.ReadCells(Sink);
    auto PtrMap =
        std::make_unique<TMap>(Header.DblCellSize, Header.LngCols, Header.LngRows, std::move(Cells));
    PtrMap->SetNoDataValue(Header.BlnNoDataGiven
                               ? Header.DblNoDataValue
                               : TGridHeader::UnusedNoDataValue(
                                   PtrMap->GetCells(), static_cast<std::size_t>(Header.LngCols)
                                                           * static_cast<std::size_t>(Header.LngRows)));
    const auto Edges = Header.EdgeAxes();
    PtrMap->SetXAxisInterval(Edges.first.get());
    PtrMap->SetYAxisInterval(Edges.second.get());
    return PtrMap;
}

}  // namespace

TMap* TARCGISFileTools::LoadARCGISFile(std::istream& Stream)
{
    return LoadARCGISFile(Stream, TGridDialect::Strict);
}

TMap* TARCGISFileTools::LoadARCGISFile(const std::string& StgName)
{
    return LoadARCGISFile(StgName, TGridDialect::Strict);
}

TMap* TARCGISFileTools::LoadARCGISFile(std::istream& Stream, TGridDialect Dialect)
{
    TGridReader Reader(Stream, Dialect);
    return ReadGrid(Reader).release();
}

TMap* TARCGISFileTools::LoadARCGISFile(const std::string& StgName, TGridDialect Dialect)
{
    std::ifstream File = TGridReader::OpenFile(StgName);
    TGridReader Reader(File, Dialect, StgName);
    return ReadGrid(Reader).release();
}

void TARCGISFileTools::WriteARCGISFile(const TMap* PtrMap, std::ostream& Stream)
{
    const std::string StgHeader = TGridHeader::OfMap(PtrMap).Text();
    Stream.write(StgHeader.data(), static_cast<std::streamsize>(StgHeader.size()));
    // A file holds the north row first, whichever way the map's rows run.
    TRowWriter::WriteRows(Stream, PtrMap->GetCells(), static_cast<std::size_t>(PtrMap->GetXDim()),
                          static_cast<std::size_t>(PtrMap->GetYDim()), ' ', PtrMap->IsSouthUp());
}

void TARCGISFileTools::WriteARCGISFile(const TMap* PtrMap, const std::string& StgName)
{
    TOutputFile File(StgName);
    WriteARCGISFile(PtrMap, File.Stream());
    File.Commit();
}

void TARCGISFileTools::WriteFileList(std::vector<TMap*> VecMaps, std::vector<std::string> VecNames)
{
    if (VecMaps.size() != VecNames.size())
        throw TError(
            "Size of map list and filename list do not match in TARCGISFileTools::WriteFileList");
    for (std::size_t LngIndex = 0; LngIndex < VecMaps.size(); ++LngIndex)
        WriteARCGISFile(VecMaps[LngIndex], VecNames[LngIndex]);
}

std::vector<TMap*> TARCGISFileTools::LoadFileList(std::vector<std::string> VecNames,
                                                   TGridDialect Dialect)
{
    std::vector<std::unique_ptr<TMap>> VecLoaded;
    for (const std::string& StgName : VecNames) {
        std::unique_ptr<TMap> PtrMap(LoadARCGISFile(StgName, Dialect));
        VecLoaded.push_back(std::move(PtrMap));
    }
    std::vector<TMap*> VecMaps;
    VecMaps.reserve(VecLoaded.size());
    for (auto& PtrMap : VecLoaded)
        VecMaps.push_back(PtrMap.release());
    return VecMaps;
}
