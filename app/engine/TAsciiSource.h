#pragma once
// An ASCII grid as a row source, in the dialect given: a file, a FIFO or
// standard input (see TInputFile), parsed on all cores window by window.

#include <memory>
#include <optional>

#include "app/engine/TInputFile.h"
#include "app/engine/TRowSource.h"
#include "io/TGridDialect.h"
#include "io/TGridHeader.h"
#include "io/TGridReader.h"

class TAsciiSource : public TRowSource {
public:
    // How the grid is read: its header's dialect; whether a NaN cell is no
    // data under a NaN NODATA_value (the toolkit's rule says never); whether
    // failures of its content name it.
    struct TRules {
        TGridDialect Dialect = TGridDialect::Tolerant;
        bool BlnNaNIsNoData = true;
        bool BlnNamed = true;
    };

    // Opens and reads the header. Text that begins as gzip data does is
    // decompressed as it is read, where the build has zlib.
    TAsciiSource(const std::string& StgName, const TRules& Rules);
    // A grid from a stream of the caller's, which cannot be restarted.
    TAsciiSource(std::istream& Stream, const std::string& StgName, const TRules& Rules);
    ~TAsciiSource() override;

    const std::string& Name() const override { return MbrStgName; }
    std::string Shown() const override;
    const TGridFrame& Frame() const override { return MbrFrame; }
    const TNoData& NoData() const override { return MbrNoData; }
    TGridCrs Crs() const override;
    bool Flowing() const override { return MbrPtrFile && !MbrPtrFile->Regular(); }
    void ReadCells(double* PtrCells, std::uint64_t LngCells) override;
    std::uint64_t CellsRead() const override { return MbrLngCellsRead; }
    void Restart() override;
    void ReadOnce() override;

    // The header as read, for a result that keeps this grid's geometry.
    const TGridHeader& Header() const { return MbrPtrReader->Header(); }
    // Reads the cells not read yet, only to check them.
    void SkipRemainingCells();

private:
    // Runs Work, naming this grid in a failure of its content.
    template <class TWork>
    void Named(TWork Work);
    // Reads the header from the stream, decompressed where it is gzip.
    void Start(std::istream& Stream);
    // Reads a compressed input to its end, for the checks gzip keeps there.
    void CheckToTheEnd();

    std::string MbrStgName;
    std::unique_ptr<TInputFile> MbrPtrFile;
    TRules MbrRules;
    bool MbrBlnGzip = false;
    // Declared before the reader, which hands it back what it read ahead.
    std::optional<std::ifstream> MbrAgain;
    std::unique_ptr<std::streambuf> MbrPtrDecompressed;
    std::unique_ptr<std::istream> MbrPtrText;
    std::unique_ptr<TGridReader> MbrPtrReader;
    TGridFrame MbrFrame;
    TNoData MbrNoData;
    std::uint64_t MbrLngCellsRead = 0;
};
