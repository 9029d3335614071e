#include "app/engine/TAsciiSink.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "util/TError.h"
#include "util/TNoData.h"
#include "util/TNumberFormat.h"
#include "util/TRowWriter.h"
#include "util/TSlices.h"

namespace {

constexpr std::size_t NoCell = std::numeric_limits<std::size_t>::max();

// A value as a reader gets it back from its text of LngDigits digits.
double ReadBack(double DblValue, int LngDigits)
{
    return std::strtod(TNumberFormat::ToString(DblValue, LngDigits).c_str(), nullptr);
}

// Markers become the no-data value; returns the first data cell that would
// read back as no data, its text the no-data value's, NoCell for none. Only
// cells near the value are written out to compare their text.
std::size_t WriteNoData(double* PtrCells, std::size_t LngCount, const TNoData& NoData,
                        int LngDigits, bool BlnRefuse)
{
    const TNoData Written(ReadBack(NoData.Value(), LngDigits));
    const double DblNear = std::fabs(NoData.Value()) * std::pow(10.0, 2 - LngDigits);
    std::size_t LngHeld = NoCell;
    for (std::size_t LngCell = 0; LngCell < LngCount; ++LngCell) {
        const double DblCell = PtrCells[LngCell];
        if (TNoData::IsMarker(DblCell))
            PtrCells[LngCell] = NoData.Value();
        else if (BlnRefuse && LngHeld == NoCell
                 && (NoData.Matches(DblCell) || std::fabs(DblCell - NoData.Value()) <= DblNear)
                 && Written.Matches(ReadBack(DblCell, LngDigits)))
            LngHeld = LngCell;
    }
    return LngHeld;
}

}  // namespace

TAsciiSink::TAsciiSink(std::ostream& Output, const TGridHeader& Header, int LngDigits,
                       bool BlnRefuseNoDataValue)
    : MbrOutput(Output), MbrHeader(Header), MbrLngDigits(LngDigits),
      MbrBlnRefuseNoDataValue(BlnRefuseNoDataValue),
      MbrBody(Output, static_cast<std::size_t>(Header.LngCols), ' ', LngDigits)
{
    const std::string StgHeader = MbrHeader.Text(LngDigits);
    MbrOutput.write(StgHeader.data(), static_cast<std::streamsize>(StgHeader.size()));
    // A grid without columns is its empty lines, which need no cells.
    if (MbrHeader.LngCols == 0)
        TRowWriter::WriteRows(MbrOutput, nullptr, 0, static_cast<std::size_t>(MbrHeader.LngRows), ' ');
}

void TAsciiSink::Take(double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells)
{
    const auto LngCols = static_cast<std::uint64_t>(MbrHeader.LngCols);
    if (LngCells == 0)
        return;
    const TNoData NoData(MbrHeader.DblNoDataValue);
    double* PtrCells = PtrPlanes[0];
    // The earliest such cell of the block, whichever slice finds it.
    std::atomic<std::size_t> LngFirstHeld{NoCell};
    TSlices::Run(LngCells, TSlices::MinCells, [&](std::size_t LngFrom, std::size_t LngTo) {
        const std::size_t LngHeld =
            WriteNoData(PtrCells + LngFrom, LngTo - LngFrom, NoData, MbrLngDigits, MbrBlnRefuseNoDataValue);
        std::size_t LngSeen = LngFirstHeld.load();
        while (LngHeld != NoCell && LngFrom + LngHeld < LngSeen
               && !LngFirstHeld.compare_exchange_weak(LngSeen, LngFrom + LngHeld)) {
        }
    });
    const std::size_t LngHeld = LngFirstHeld.load();
    if (LngHeld != NoCell)
        throw TError("the result holds " + TNumberFormat::ToString(MbrHeader.DblNoDataValue)
                     + ", the no-data value, at column " + std::to_string((LngFirst + LngHeld) % LngCols + 1)
                     + ", row " + std::to_string((LngFirst + LngHeld) / LngCols + 1)
                     + ": choose another with --nodata");
    MbrBody.Put(PtrCells, LngCells);
    MbrOutput.flush();
}
