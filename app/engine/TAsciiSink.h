#pragma once
// Output rows written as an ASCII grid: the header at once, then each block
// of rows laid out on all cores by the one body writer. No-data cells (the
// marker) are written as the output's NODATA_value; a data cell equal to
// that value, or written with so few digits that it reads back as it,
// would read back as no data, so, when asked, it fails the run:
// "the result holds V, the no-data value, at column C, row R: choose
// another with --nodata".

#include <ostream>

#include "app/engine/TNoDataCells.h"
#include "app/engine/TGridSink.h"
#include "io/TGridHeader.h"
#include "util/TBodyWriter.h"

class TAsciiSink : public TGridSink {
public:
    // Header gives the geometry and the NODATA_value written; LngDigits the
    // significant digits of the cells (1 to 17).
    TAsciiSink(std::ostream& Output, const TGridHeader& Header, int LngDigits,
               bool BlnRefuseNoDataValue);

    void Take(double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells) override;
    // The text is all written as it comes.
    std::uint64_t Finish() override { return 0; }

private:
    std::ostream& MbrOutput;
    TGridHeader MbrHeader;
    TNoDataCells MbrNoData;
    TBodyWriter MbrBody;
};
