#include "app/engine/TAsciiSource.h"

#include <cstring>

#include "app/TSidecar.h"
#ifdef PVX_WITH_GZIP
#include "formats/TGzipReadBuffer.h"
#endif
#include "util/TError.h"

namespace {

TGridFrame FrameOf(const TGridHeader& Header)
{
    return {Header.LngCols, Header.LngRows, Header.DblXllCorner, Header.DblYllCorner,
            Header.DblCellSize};
}

TNoData NoDataOf(const TGridHeader& Header, bool BlnNaNIsNoData)
{
    if (!Header.BlnNoDataGiven)
        return TNoData();
    return BlnNaNIsNoData ? TNoData(Header.DblNoDataValue) : TNoData::Exact(Header.DblNoDataValue);
}

// Copies each chunk's cells to their place, marked, on the chunk's own
// thread.
class TCellsSink : public TGridReader::TCellSink {
public:
    TCellsSink(double* PtrCells, std::uint64_t LngFirstCell, const TNoData& NoData)
        : MbrPtrCells(PtrCells), MbrLngFirstCell(LngFirstCell), MbrNoData(NoData)
    {
    }

    void BeginWindow(std::uint64_t, std::size_t) override {}
    void Take(std::size_t, double* PtrCells, std::size_t LngCount, std::uint64_t LngFirst) override
    {
        MbrNoData.MarkCells(PtrCells, LngCount, MbrPtrCells + (LngFirst - MbrLngFirstCell));
    }
    void EndWindow() override {}

private:
    double* MbrPtrCells;
    std::uint64_t MbrLngFirstCell;
    const TNoData& MbrNoData;
};

}  // namespace

template <class TWork>
void TAsciiSource::Named(TWork Work)
{
    try {
        Work();
    } catch (const TFileError&) {
        throw;
    } catch (const TError& Error) {
        if (!MbrRules.BlnNamed || MbrStgName.empty())
            throw;
        throw TError(Shown() + ": " + Error.what());
    }
}

TAsciiSource::TAsciiSource(const std::string& StgName, const TRules& Rules)
    : MbrStgName(StgName), MbrPtrFile(std::make_unique<TInputFile>(StgName)), MbrRules(Rules)
{
#ifdef PVX_WITH_GZIP
    try {
        MbrBlnGzip = TGzipReadBuffer::IsGzip(MbrPtrFile->Stream());
    } catch (const std::ios_base::failure&) {
        throw TFileError("Unable to read file " + StgName);
    }
#endif
    Start(MbrPtrFile->Stream());
}

TAsciiSource::TAsciiSource(std::istream& Stream, const std::string& StgName, const TRules& Rules)
    : MbrStgName(StgName), MbrRules(Rules)
{
    Start(Stream);
}

TAsciiSource::~TAsciiSource() = default;

void TAsciiSource::Start(std::istream& Stream)
{
    MbrPtrReader.reset();
    std::istream* PtrText = &Stream;
#ifdef PVX_WITH_GZIP
    if (MbrBlnGzip) {
        MbrPtrDecompressed = std::make_unique<TGzipReadBuffer>(*Stream.rdbuf(), Shown());
        MbrPtrText = std::make_unique<std::istream>(MbrPtrDecompressed.get());
        PtrText = MbrPtrText.get();
    }
#endif
    Named([&] { MbrPtrReader = std::make_unique<TGridReader>(*PtrText, MbrRules.Dialect, MbrStgName); });
    MbrFrame = FrameOf(MbrPtrReader->Header());
    MbrNoData = NoDataOf(MbrPtrReader->Header(), MbrRules.BlnNaNIsNoData);
}

TGridCrs TAsciiSource::Crs() const
{
    return MbrPtrFile ? TSidecar::OfGrid(MbrStgName) : TGridCrs();
}

std::string TAsciiSource::Shown() const
{
    return MbrStgName == "-" ? "standard input" : MbrStgName;
}

void TAsciiSource::ReadOnce()
{
    if (MbrPtrFile)
        MbrPtrFile->ReadOnce();
}

void TAsciiSource::ReadCells(double* PtrCells, std::uint64_t LngCells)
{
    TCellsSink Sink(PtrCells, MbrLngCellsRead, MbrNoData);
    Named([&] { MbrPtrReader->ReadCells(Sink, 0, LngCells); });
    MbrLngCellsRead += LngCells;
    if (MbrPtrDecompressed && MbrLngCellsRead == MbrPtrReader->CellCount())
        CheckToTheEnd();
}

void TAsciiSource::CheckToTheEnd()
{
    // gzip's checksum and length follow the text: a file cut there, or
    // damaged, fails though every cell was read.
    while (!std::streambuf::traits_type::eq_int_type(MbrPtrDecompressed->sbumpc(), std::streambuf::traits_type::eof())) {
    }
}

void TAsciiSource::SkipRemainingCells()
{
    Named([&] { MbrPtrReader->SkipRemainingCells(); });
    MbrLngCellsRead = MbrPtrReader->CellCount();
}

void TAsciiSource::Restart()
{
    MbrPtrReader.reset();
    MbrAgain.emplace(MbrPtrFile->ReadAgain());
    Start(*MbrAgain);
    MbrLngCellsRead = 0;
}
