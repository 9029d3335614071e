#include "app/engine/TAsciiSink.h"

#include "util/TRowWriter.h"

TAsciiSink::TAsciiSink(std::ostream& Output, const TGridHeader& Header, int LngDigits,
                       bool BlnRefuseNoDataValue)
    : MbrOutput(Output), MbrHeader(Header),
      MbrNoData(Header.DblNoDataValue, LngDigits, BlnRefuseNoDataValue, static_cast<std::uint64_t>(Header.LngCols)),
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
    if (LngCells == 0)
        return;
    MbrNoData.Write(PtrPlanes[0], LngCells, LngFirst);
    MbrBody.Put(PtrPlanes[0], LngCells);
    MbrOutput.flush();
}
