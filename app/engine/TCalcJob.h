#pragma once
// An expression of map algebra over grids lined up with the output: each
// output row evaluated from the rows of every grid the expression reaches
// (its neighbourhood offsets keep that many rows on either side).

#include "app/engine/TRowJob.h"
#include "grid/TGridFrame.h"
#include "ops/TExpression.h"

class TCalcJob : public TRowJob {
public:
    // Input i is the expression's grid i; Frame is theirs.
    TCalcJob(const TExpression& Expression, const TGridFrame& Frame, std::size_t LngGrids)
        : MbrExpression(Expression), MbrFrame(Frame), MbrLngGrids(LngGrids)
    {
    }

    TRowSpan Needs(std::size_t LngInput, long LngFirst, long LngLast) const override;
    void Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                 double* const* PtrPlanes) const override;

private:
    const TExpression& MbrExpression;
    TGridFrame MbrFrame;
    std::size_t MbrLngGrids;
};
