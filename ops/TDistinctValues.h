#pragma once
// The distinct values of a map with the number of cells of each, in time
// proportional to the cells whatever their number of distinct values: the
// values are radix sorted, never looked up in a tree one by one. Internal to
// the operations; not installed.

#include <map>

#include "grid/TMap.h"

class TDistinctValues {
public:
    // Ascending by value. Values are equal as doubles are, so 0.0 and -0.0
    // count as one, keyed by whichever comes first with columns outer and rows
    // inner. NaN cells, which no ordered key can hold, are left out.
    static std::map<double, long> Count(const TMap& Map);
};
