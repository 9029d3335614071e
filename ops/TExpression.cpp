#include "ops/TExpression.h"

#include <algorithm>
#include <cstdlib>

#include "ops/TExpressionKernels.h"
#include "ops/TExpressionParser.h"

namespace {

// Cells a block: the registers of a program of a few dozen operations stay
// in the first-level cache.
constexpr long BlockCells = 256;

}  // namespace

TExpression::TExpression(const std::string& StgText, const std::vector<std::string>& VecNames)
    : MbrProgram(TExpressionParser::Compile(StgText, VecNames))
{
    for (const TExpressionProgram::TLoad& Load : MbrProgram.VecLoads)
        MbrLngRowReach = std::max(MbrLngRowReach, std::labs(Load.LngRowOffset));
}

bool TExpression::Uses(std::size_t LngName) const
{
    return std::any_of(MbrProgram.VecLoads.begin(), MbrProgram.VecLoads.end(),
                       [&](const TExpressionProgram::TLoad& Load) {
                           return Load.LngGrid == static_cast<long>(LngName);
                       });
}

void TExpression::EvaluateRow(const double* const* PtrRows, const TGridFrame& Frame, long LngRow,
                              double* PtrOut) const
{
    const long LngMargin = MbrProgram.LngMargin;
    TBlockRegisters Registers(MbrProgram.LngRegisters, BlockCells, LngMargin);
    for (std::size_t LngConstant = 0; LngConstant < MbrProgram.VecConstants.size(); ++LngConstant) {
        const TExpressionProgram::TConstant& Constant = MbrProgram.VecConstants[LngConstant];
        TExpressionKernels::Fill(Constant.DblValue, Constant.BlnData,
                                 Registers.Column(static_cast<long>(LngConstant)), BlockCells);
    }
    const long LngFirstLoad = static_cast<long>(MbrProgram.VecConstants.size());
    const long LngRowsEach = 2 * MbrLngRowReach + 1;
    for (long LngFirstCol = 0; LngFirstCol < Frame.LngCols; LngFirstCol += BlockCells) {
        const long LngCells = std::min(BlockCells, Frame.LngCols - LngFirstCol);
        for (std::size_t LngLoad = 0; LngLoad < MbrProgram.VecLoads.size(); ++LngLoad) {
            const TExpressionProgram::TLoad& Load = MbrProgram.VecLoads[LngLoad];
            const double* PtrRow = PtrRows[Load.LngGrid * LngRowsEach + Load.LngRowOffset + MbrLngRowReach];
            TExpressionKernels::Load(PtrRow, LngFirstCol - LngMargin, Frame.LngCols,
                                     Registers.Column(LngFirstLoad + static_cast<long>(LngLoad), -LngMargin),
                                     LngCells + 2 * LngMargin);
        }
        const TBlockPlace Place{Frame, LngRow, LngFirstCol};
        for (const TInstruction& Instruction : MbrProgram.VecInstructions)
            TExpressionKernels::Execute(Instruction, Registers, Place, LngCells);
        TExpressionKernels::Store(Registers.Column(MbrProgram.Result), LngCells, PtrOut + LngFirstCol);
    }
}
