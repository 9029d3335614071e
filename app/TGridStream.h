#pragma once
// The commands' one streaming path: a grid's cells read in blocks, each block
// passed through a cell function on the reading thread, then handed in file
// order to a consumer on a second thread. Any shape of grid streams in a few
// blocks of memory.

#include <cstddef>
#include <functional>
#include <ostream>

#include "io/TGridReader.h"

class TProgress;

class TGridStream {
public:
    // Changes LngCount cells in place.
    using TBlockFunction = std::function<void(double* PtrCells, std::size_t LngCount)>;
    using TBlockConsumer = std::function<void(const double* PtrCells, std::size_t LngCount)>;

    // The block function applying Op to each cell.
    template <class TOp>
    static TBlockFunction EachCell(TOp Op)
    {
        return [Op](double* PtrCells, std::size_t LngCount) {
            for (std::size_t LngCell = 0; LngCell < LngCount; ++LngCell)
                PtrCells[LngCell] = Op(PtrCells[LngCell]);
        };
    }

    // Every cell not read yet, through Function (none: as read), to Consumer.
    // Progress, when given, counts the cells of the grid.
    static void Run(TGridReader& Reader, const TBlockFunction& Function,
                    const TBlockConsumer& Consumer, bool BlnThreaded, TProgress* PtrProgress);

    // Header (the one read: a result keeps the input's geometry exactly),
    // then the cells through Function, laid out as the grid writer lays them
    // out: the bytes that loading, the same operation on the map and writing
    // give.
    static void Write(TGridReader& Reader, const TGridHeader& Header,
                      const TBlockFunction& Function, std::ostream& Output, bool BlnThreaded,
                      TProgress* PtrProgress);
};
