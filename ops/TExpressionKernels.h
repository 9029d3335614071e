#pragma once
// The cell loops of a compiled expression, over a block of a row's cells:
// every instruction is one plain loop over the block, which the compiler
// vectorises where the operation allows. A data flag is 1.0 for data, 0.0
// for no data (a double, as wide as the values, so that the loops mixing
// both vectorise); the value of a no-data cell means nothing.

#include <memory>

#include "grid/TGridFrame.h"
#include "ops/TExpressionProgram.h"

struct TColumn {
    double* PtrValues;
    double* PtrData;
};

// The registers of a program for blocks of up to LngCells cells, with
// LngMargin cells more on either side; not initialised.
class TBlockRegisters {
public:
    TBlockRegisters(long LngRegisters, long LngCells, long LngMargin);

    // The register's cells from LngShift on (-LngMargin at the least).
    TColumn Column(long LngRegister, long LngShift = 0) const
    {
        const long LngAt = LngRegister * MbrLngStride + MbrLngMargin + LngShift;
        return {MbrPtrValues.get() + LngAt, MbrPtrData.get() + LngAt};
    }
    TColumn Column(const TOperand& Operand) const { return Column(Operand.LngRegister, Operand.LngShift); }

private:
    long MbrLngMargin;
    long MbrLngStride;
    std::unique_ptr<double[]> MbrPtrValues;
    std::unique_ptr<double[]> MbrPtrData;
};

// Where a block lies: its first column and its row.
struct TBlockPlace {
    const TGridFrame& Frame;
    long LngRow;
    long LngFirstCol;
};

namespace TExpressionKernels {

void Execute(const TInstruction& Instruction, const TBlockRegisters& Registers, const TBlockPlace& Place,
             long LngCells);
void Fill(double DblValue, bool BlnData, TColumn Out, long LngCells);
// Cells LngFirstCol .. LngFirstCol + LngCells - 1 of a row of LngCols cells
// (PtrRow; null for a row beyond the grid), no data beyond either end and
// where a cell holds the no-data marker.
void Load(const double* PtrRow, long LngFirstCol, long LngCols, TColumn Out, long LngCells);
// The values, the no-data marker where a cell is no data.
void Store(TColumn In, long LngCells, double* PtrOut);

}  // namespace TExpressionKernels
