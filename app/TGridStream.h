#pragma once
// The commands' one streaming path. The input is read in windows, each cut
// at white space into one chunk per thread; each thread parses its chunk,
// passes the cells through the cell function and lays them out into its own
// text, and the texts are written in file order. No cells cross between
// threads, only the finished text. Any shape of grid streams in a few MiB
// per thread.

#include <cstddef>
#include <functional>
#include <ostream>

#include "io/TGridReader.h"

class TProgress;

class TGridStream {
public:
    // Changes LngCount cells in place; runs on several threads at once, each
    // on cells of its own.
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

    // Every cell not read yet, through Function (none: as read), to
    // Consumer, which gets them in file order on the calling thread.
    // Progress, when given, counts the cells of the grid. LngThreads 1 keeps
    // the work on the calling thread; 0 takes the toolkit's count (TSlices).
    static void Run(TGridReader& Reader, const TBlockFunction& Function,
                    const TBlockConsumer& Consumer, unsigned LngThreads, TProgress* PtrProgress);

    // Header (the one read: a result keeps the input's geometry exactly),
    // then the cells through Function, laid out as the grid writer lays them
    // out: the bytes that loading, the same operation on the map and writing
    // give, on any number of threads.
    static void Write(TGridReader& Reader, const TGridHeader& Header,
                      const TBlockFunction& Function, std::ostream& Output, unsigned LngThreads,
                      TProgress* PtrProgress);
};
