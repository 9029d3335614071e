#pragma once
// A compiled expression of map algebra: a flat list of instructions over
// registers, each register a column of cell values with a data flag per
// cell. Registers are numbered constants first, then the rows of the grids
// (one register for each grid and row offset the expression reads), then
// the intermediate results. No instruction's output is one of its inputs.

#include <array>
#include <vector>

// Grouped by the number of inputs, in this order, which the kernels rely on.
enum class TOpCode {
    // Two inputs.
    Add, Subtract, Multiply, Divide, Modulo, Power,
    Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual, And, Or,
    Atan2, Min, Max,
    // One input.
    Negate, Not, Abs, Sqrt, Exp, Log, Log10, Sin, Cos, Tan, Asin, Acos, Atan,
    Floor, Ceil, Round, IsNull,
    // Three inputs: condition, then, else.
    Select,
    // None: the place of the cell.
    X, Y, Column, Row
};

// A register read LngShift columns east of the current cell: one row of a
// grid, read once, serves every column offset.
struct TOperand {
    long LngRegister = 0;
    long LngShift = 0;
};

struct TInstruction {
    TOpCode Op = TOpCode::Add;
    long LngOut = 0;
    std::array<TOperand, 3> ArrIn{};  // the first as many as the operation takes
};

struct TExpressionProgram {
    struct TConstant {
        double DblValue;
        bool BlnData;
    };
    // The row LngRowOffset rows south of the current one in grid LngGrid.
    struct TLoad {
        long LngGrid;
        long LngRowOffset;
    };

    std::vector<TConstant> VecConstants;
    std::vector<TLoad> VecLoads;
    std::vector<TInstruction> VecInstructions;
    long LngRegisters = 0;
    // The largest column shift: the cells every register holds beyond
    // either end of a block.
    long LngMargin = 0;
    TOperand Result;
};
