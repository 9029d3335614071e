#pragma once
// A OP B matched by coordinates, as the toolkit matches Add, Multiply and
// Divide: the driving grid gives the output's geometry, and each of its
// cells meets the cell of the other grid that holds its centre (a cell holds
// its west and south edges). A cell whose centre the other grid does not
// cover is no data, as is a cell where either value is.

#include <vector>

#include "app/engine/TRowJob.h"
#include "grid/TGridFrame.h"

class TPartnerJob : public TRowJob {
public:
    enum class TOp { Add, Subtract, Multiply, Divide };

    // Input 0 is A and input 1 is B; BlnSecondDrives makes B the driving grid.
    TPartnerJob(const TGridFrame& First, const TGridFrame& Second, bool BlnSecondDrives, TOp Op);

    const TGridFrame& Output() const { return MbrDriver; }
    TRowSpan Needs(std::size_t LngInput, long LngFirst, long LngLast) const override;
    void Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                 double* const* PtrPlanes) const override;

private:
    // The other grid's row holding output row LngRow's centre, which may lie
    // outside its rows.
    long OtherRow(long LngRow) const;

    TGridFrame MbrDriver;
    TGridFrame MbrOther;
    bool MbrBlnSecondDrives;
    TOp MbrOp;
    // Per output column, the other grid's column holding its centre, or -1.
    std::vector<long> MbrVecColumns;
};
