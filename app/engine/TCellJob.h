#pragma once
// The job of every command that works cell by cell over inputs lined up
// with its output: each output cell from the same cell of every input, so
// the engine streams any shape of grid in blocks of cells.

#include <cstddef>

#include "app/engine/TRowJob.h"
#include "util/TNoData.h"

class TCellJob : public TRowJob {
public:
    TCellJob(std::size_t LngInputs, TCellFunction Function)
        : MbrLngInputs(LngInputs), MbrFunction(std::move(Function))
    {
    }
    // Each of the first LngInputs inputs copied to a plane of its own, as
    // read.
    static TCellJob Copy(std::size_t LngInputs = 1);
    // Op applied to each data cell of one input; no-data cells stay no data.
    template <class TOp>
    static TCellJob OnData(TOp Op)
    {
        return TCellJob(1, [Op](const double* const* PtrInputs, std::size_t LngCells,
                                double* const* PtrPlanes) {
            for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell) {
                const double DblValue = PtrInputs[0][LngCell];
                PtrPlanes[0][LngCell] = TNoData::IsMarker(DblValue) ? DblValue : Op(DblValue);
            }
        });
    }

    const TCellFunction* Cellwise() const override { return &MbrFunction; }
    TRowSpan Needs(std::size_t, long LngFirst, long LngLast) const override
    {
        return {LngFirst, LngLast};
    }
    void Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                 double* const* PtrPlanes) const override;

private:
    std::size_t MbrLngInputs;
    TCellFunction MbrFunction;
};
