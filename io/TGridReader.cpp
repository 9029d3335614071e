#include "io/TGridReader.h"

#include <filesystem>
#include <ios>
#include <streambuf>
#include <string_view>
#include <system_error>

#include "util/TError.h"

// The bytes of an input stream, taken straight from its buffer. A stream
// that is not good gives none, as extraction from it would.
class TGridReader::TStreamSource : public TByteSource {
public:
    TStreamSource(std::istream& Stream, const std::string& StgName)
        : MbrPtrBuffer(Stream.good() ? Stream.rdbuf() : nullptr), MbrStgName(StgName),
          MbrBlnSeekable(MbrPtrBuffer
                         && MbrPtrBuffer->pubseekoff(0, std::ios_base::cur, std::ios_base::in)
                                != BadPosition)
    {
    }

    // A file, as opposed to a pipe or a terminal, whose bytes come as fast as
    // they are asked for.
    bool Seekable() const { return MbrBlnSeekable; }

    // A file buffer reports a read error by throwing ios_base::failure.
    std::size_t Read(char* PtrBuf, std::size_t LngMax) override
    {
        if (!MbrPtrBuffer)
            return 0;
        std::streamsize LngRead = 0;
        try {
            LngRead = MbrPtrBuffer->sgetn(PtrBuf, static_cast<std::streamsize>(LngMax));
        } catch (const std::ios_base::failure&) {
            throw TFileError(MbrStgName.empty() ? std::string("Unable to read the input")
                                                : "Unable to read file " + MbrStgName);
        }
        return LngRead > 0 ? static_cast<std::size_t>(LngRead) : 0;
    }

    // By seeking where the stream can, else by putting back as many bytes as
    // it takes.
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
    std::string MbrStgName;
    bool MbrBlnSeekable;
};

namespace {

std::uint64_t CellsOf(const TGridHeader& Header)
{
    return static_cast<std::uint64_t>(Header.LngCols) * static_cast<std::uint64_t>(Header.LngRows);
}

}  // namespace

TGridReader::TGridReader(std::istream& Stream, TGridDialect Dialect, const std::string& StgName)
    : MbrPtrSource(std::make_unique<TStreamSource>(Stream, StgName)),
      MbrTokens(*MbrPtrSource),
      MbrHeader(TGridHeader::Read(MbrTokens, Dialect)),
      MbrLngCellCount(CellsOf(MbrHeader)),
      MbrBlnSeekable(MbrPtrSource->Seekable())
{
}

TGridReader::~TGridReader()
{
    MbrPtrSource->GiveBack(MbrTokens.Pending());
}

void TGridReader::SkipRemainingCells()
{
    struct TNoSink : TCellSink {
        void BeginWindow(std::uint64_t, std::size_t) override {}
        void Take(std::size_t, double*, std::size_t, std::uint64_t) override {}
        void EndWindow() override {}
    } Sink;
    ReadCells(Sink);
}

void TGridReader::ThrowCellError(TTokenizer::TCell Cell) const
{
    if (Cell == TTokenizer::TCell::End)
        throw TError("Unexpected end of file found in TARCGISFileTools::LoadARCGISFile");
    const auto LngCols = static_cast<std::uint64_t>(MbrHeader.LngCols);
    throw TError("File format error: cell at column " + std::to_string(MbrLngCellsRead % LngCols + 1)
                 + ", row " + std::to_string(MbrLngCellsRead / LngCols + 1)
                 + (Cell == TTokenizer::TCell::NotANumber ? " is not a number" : " is out of range"));
}

std::ifstream TGridReader::OpenFile(const std::string& StgName)
{
    std::ifstream File;
    std::error_code Err;  // a name that cannot be examined is no directory
    if (!std::filesystem::is_directory(StgName, Err))
        File.open(StgName, std::ios::in | std::ios::binary);
    if (!File.is_open())
        throw TFileError("Unable to open file " + StgName);
    return File;
}
