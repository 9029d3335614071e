#pragma once
// The sizes of maps, each checked here once: a size that cannot be had
// throws std::bad_alloc, as an allocation that fails does, and never wraps.
// Internal to the toolkit; not installed.

#include <cstddef>
#include <utility>

namespace TGridSize {

// The most cells a map can hold: their bytes, rounded up to whole pages,
// stay far within the address range.
constexpr std::size_t MaxCells = (std::size_t{1} << 62) / sizeof(double);

// LngA x LngB, both at least 0, as a count of cells (or axis points).
std::size_t Cells(long LngA, long LngB);
// LngA x LngB, both at least 0, as a dimension of a map.
long Dimension(long LngA, long LngB);
// The bytes of LngCells doubles, rounded up to a whole multiple of LngUnit.
std::size_t Bytes(std::size_t LngCells, std::size_t LngUnit);
// The columns and rows of a map computed from coordinates, as quotients.
// Throws TError("Map dimensions are too large to represent in " + StgWhere)
// when either is not a number or beyond a dimension, or their product
// beyond a count; a map of that many cells may still fail to be had. A
// negative count is returned as it is, for the map's own message.
std::pair<long, long> FromQuotients(double DblCols, double DblRows, const char* StgWhere);

}  // namespace TGridSize
