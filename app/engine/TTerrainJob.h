#pragma once
// Slope, aspect or hillshade of one input (see TTerrain): each output row
// from the input's rows north of, at and south of it.

#include <algorithm>

#include "app/engine/TRowJob.h"
#include "ops/TTerrain.h"

class TTerrainJob : public TRowJob {
public:
    TTerrainJob(const TTerrain& Terrain, const TGridFrame& Frame) : MbrTerrain(Terrain), MbrFrame(Frame) {}

    TRowSpan Needs(std::size_t, long LngFirst, long LngLast) const override
    {
        return {std::max(0L, LngFirst - 1), std::min(MbrFrame.LngRows, LngLast + 1)};
    }
    void Compute(const std::vector<TRowWindow>& VecInputs, long LngFirst, long LngLast,
                 double* const* PtrPlanes) const override
    {
        const TRowWindow& Input = VecInputs[0];
        double* PtrOut = PtrPlanes[0];
        for (long LngRow = LngFirst; LngRow < LngLast; ++LngRow, PtrOut += MbrFrame.LngCols)
            MbrTerrain.Row(Input.RowOrNull(LngRow - 1), Input.Row(LngRow), Input.RowOrNull(LngRow + 1), PtrOut);
    }

private:
    const TTerrain& MbrTerrain;
    TGridFrame MbrFrame;
};
