#pragma once
// Output rows written as an ASCII grid: the header at once, then each block
// of rows laid out on all cores by the one body writer. No-data cells (the
// marker) are written as the output's NODATA_value; a data cell equal to
// that value, or written with so few digits that it reads back as it,
// would read back as no data, so, when asked, it fails the run:
// "the result holds V, the no-data value, at column C, row R: choose
// another with --nodata".

#include <ostream>

#include "app/engine/TRowJob.h"
#include "io/TGridHeader.h"
#include "util/TBodyWriter.h"

class TAsciiSink : public TRowConsumer {
public:
    // Header gives the geometry and the NODATA_value written; LngDigits the
    // significant digits of the cells (1 to 17).
    TAsciiSink(std::ostream& Output, const TGridHeader& Header, int LngDigits,
               bool BlnRefuseNoDataValue);

    void Take(double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells) override;

private:
    std::ostream& MbrOutput;
    TGridHeader MbrHeader;
    int MbrLngDigits;
    bool MbrBlnRefuseNoDataValue;
    TBodyWriter MbrBody;
};
