#pragma once
// Builds the program of an expression from its operations, given in the
// order they are evaluated, each value used once (the expression is a
// tree): reads each row of a grid once, folds operations on
// constants, and gives each result a register that none of its inputs
// holds, taking back registers whose values are used up.

#include <map>
#include <utility>
#include <vector>

#include "ops/TExpressionProgram.h"

// A value during the building: a constant, a grid's cell (in a row read,
// LngShift columns east) or a result.
struct TSlot {
    enum class TSpace { Constant, Load, Result };
    TSpace Space;
    long LngIndex;
    long LngShift = 0;
};

class TExpressionBuilder {
public:
    TSlot Constant(double DblValue, bool BlnData = true);
    TSlot Load(long LngGrid, long LngRowOffset, long LngColOffset);
    // Op on the inputs, which are used up.
    TSlot Apply(TOpCode Op, const std::vector<TSlot>& VecInputs);
    // The program whose result is Result; constants no instruction reads
    // are left out.
    TExpressionProgram Finish(TSlot Result) const;

private:
    struct TStep {
        TOpCode Op;
        TSlot Out;
        std::vector<TSlot> VecInputs;
    };

    // Op on constant inputs, computed by the same loops as the cells are.
    TSlot Fold(TOpCode Op, const std::vector<TSlot>& VecInputs);

    std::vector<TExpressionProgram::TConstant> MbrVecConstants;
    std::vector<TExpressionProgram::TLoad> MbrVecLoads;
    std::map<std::pair<long, long>, long> MbrMapLoads;
    long MbrLngMargin = 0;
    std::vector<TStep> MbrVecSteps;
    std::vector<long> MbrVecFreeResults;
    long MbrLngResults = 0;
};
