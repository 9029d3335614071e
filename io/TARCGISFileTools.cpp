#include "io/TARCGISFileTools.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <streambuf>
#include <string_view>
#include <system_error>
#include <utility>

#include "grid/TError.h"
#include "io/TGridHeader.h"
#include "io/TOutputFile.h"
#include "io/TTokenizer.h"
#include "ops/TMapTools.h"

namespace {

// The bytes of an input stream, taken straight from its buffer. A stream
// that is not good gives none, as extraction from it would.
class TStreamSource : public TByteSource {
public:
    explicit TStreamSource(std::istream& Stream)
        : MbrPtrBuffer(Stream.good() ? Stream.rdbuf() : nullptr) {}

    std::size_t Read(char* PtrBuf, std::size_t LngMax) override
    {
        if (!MbrPtrBuffer)
            return 0;
        const std::streamsize LngRead =
            MbrPtrBuffer->sgetn(PtrBuf, static_cast<std::streamsize>(LngMax));
        return LngRead > 0 ? static_cast<std::size_t>(LngRead) : 0;
    }

    // Hands bytes taken but not used back to the stream, so that its next
    // read starts just after the last value read: by seeking where the
    // stream can, else by putting back as many as it takes.
    void GiveBack(std::string_view StgUnused) noexcept
    {
        if (!MbrPtrBuffer || StgUnused.empty())
            return;
        const auto LngBack = -static_cast<std::streamoff>(StgUnused.size());
        if (MbrPtrBuffer->pubseekoff(LngBack, std::ios_base::cur, std::ios_base::in) != BadPosition)
            return;
        using TTraits = std::streambuf::traits_type;
        for (auto It = StgUnused.rbegin(); It != StgUnused.rend(); ++It) {
            if (TTraits::eq_int_type(MbrPtrBuffer->sputbackc(*It), TTraits::eof()))
                return;
        }
    }

private:
    static inline const std::streampos BadPosition{std::streamoff(-1)};

    std::streambuf* MbrPtrBuffer;
};

std::string CellMessage(long LngCol, long LngRow, const char* StgProblem)
{
    return "File format error: cell at column " + std::to_string(LngCol + 1) + ", row " +
           std::to_string(LngRow + 1) + " " + StgProblem;
}

double ReadCell(TTokenizer& Tokens, long LngCol, long LngRow)
{
    double DblValue;
    const TTokenizer::TCell Cell = Tokens.ReadCell(DblValue);
    if (Cell == TTokenizer::TCell::Ok)
        return DblValue;
    if (Cell == TTokenizer::TCell::End)
        throw TError("Unexpected end of file found in TARCGISFileTools::LoadARCGISFile");
    throw TError(CellMessage(LngCol, LngRow,
                             Cell == TTokenizer::TCell::NotANumber ? "is not a number"
                                                                   : "is out of range"));
}

// Rows are added as their values arrive, so a header that declares far more
// cells than the body holds costs no memory for the missing ones.
void ReadBody(TTokenizer& Tokens, const TGridHeader& Header, TMap& Map)
{
    constexpr long MaxReserve = 1L << 16;
    for (long LngRow = 0; LngRow < Header.LngRows; ++LngRow) {
        std::vector<double> VecRow;
        VecRow.reserve(static_cast<std::size_t>(std::min(Header.LngCols, MaxReserve)));
        for (long LngCol = 0; LngCol < Header.LngCols; ++LngCol)
            VecRow.push_back(ReadCell(Tokens, LngCol, LngRow));
        Map.AddRow(std::move(VecRow));
    }
}

std::unique_ptr<TMap> ReadGrid(TTokenizer& Tokens)
{
    const TGridHeader Header = TGridHeader::Read(Tokens);
    // Made with no rows but its columns, which a map of no rows keeps.
    auto PtrMap = std::make_unique<TMap>(Header.DblCellSize, Header.LngCols, 0);
    ReadBody(Tokens, Header, *PtrMap);
    PtrMap->SetNoDataValue(Header.DblNoDataValue);
    const auto Edges = Header.EdgeAxes();
    PtrMap->SetXAxisInterval(Edges.first.get());
    PtrMap->SetYAxisInterval(Edges.second.get());
    return PtrMap;
}

}  // namespace

TMap* TARCGISFileTools::LoadARCGISFile(std::istream& Stream)
{
    TStreamSource Source(Stream);
    TTokenizer Tokens(Source);
    struct TGiveBackOnExit {
        TStreamSource& Source;
        const TTokenizer& Tokens;
        ~TGiveBackOnExit() { Source.GiveBack(Tokens.Pending()); }
    } GiveBack{Source, Tokens};
    return ReadGrid(Tokens).release();
}

TMap* TARCGISFileTools::LoadARCGISFile(const std::string& StgName)
{
    std::ifstream File(StgName);
    std::error_code Ec;  // a name that cannot be examined is no directory
    if (!File || std::filesystem::is_directory(StgName, Ec))
        throw TFileError("Unable to open file " + StgName);
    return LoadARCGISFile(File);
}

void TARCGISFileTools::WriteARCGISFile(const TMap* PtrMap, std::ostream& Stream)
{
    const std::string StgHeader = TGridHeader::OfMap(PtrMap).Text();
    Stream.write(StgHeader.data(), static_cast<std::streamsize>(StgHeader.size()));
    TMapTools::WriteFlatFile(PtrMap, Stream, ' ');
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

std::vector<TMap*> TARCGISFileTools::LoadFileList(std::vector<std::string> VecNames)
{
    std::vector<std::unique_ptr<TMap>> VecLoaded;
    for (const std::string& StgName : VecNames) {
        std::unique_ptr<TMap> PtrMap(LoadARCGISFile(StgName));
        VecLoaded.push_back(std::move(PtrMap));
    }
    std::vector<TMap*> VecMaps;
    VecMaps.reserve(VecLoaded.size());
    for (auto& PtrMap : VecLoaded)
        VecMaps.push_back(PtrMap.release());
    return VecMaps;
}
