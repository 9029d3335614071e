#include "ops/TExpressionBuilder.h"

#include <algorithm>
#include <cstdlib>

#include "ops/TExpressionKernels.h"

TSlot TExpressionBuilder::Constant(double DblValue, bool BlnData)
{
    MbrVecConstants.push_back({DblValue, BlnData});
    return {TSlot::TSpace::Constant, static_cast<long>(MbrVecConstants.size()) - 1};
}

TSlot TExpressionBuilder::Load(long LngGrid, long LngRowOffset, long LngColOffset)
{
    const auto Inserted =
        MbrMapLoads.emplace(std::make_pair(LngGrid, LngRowOffset), static_cast<long>(MbrVecLoads.size()));
    if (Inserted.second)
        MbrVecLoads.push_back({LngGrid, LngRowOffset});
    MbrLngMargin = std::max(MbrLngMargin, std::labs(LngColOffset));
    return {TSlot::TSpace::Load, Inserted.first->second, LngColOffset};
}

TSlot TExpressionBuilder::Apply(TOpCode Op, const std::vector<TSlot>& VecInputs)
{
    const bool BlnConstant = std::all_of(VecInputs.begin(), VecInputs.end(), [](const TSlot& Input) {
        return Input.Space == TSlot::TSpace::Constant;
    });
    if (BlnConstant && !VecInputs.empty())
        return Fold(Op, VecInputs);
    // The output's register is taken before the inputs' are given back, so
    // it is none of theirs.
    TSlot Out{TSlot::TSpace::Result, MbrLngResults};
    if (MbrVecFreeResults.empty())
        ++MbrLngResults;
    else {
        Out.LngIndex = MbrVecFreeResults.back();
        MbrVecFreeResults.pop_back();
    }
    for (const TSlot& Input : VecInputs)
        if (Input.Space == TSlot::TSpace::Result)
            MbrVecFreeResults.push_back(Input.LngIndex);
    MbrVecSteps.push_back({Op, Out, VecInputs});
    return Out;
}

TSlot TExpressionBuilder::Fold(TOpCode Op, const std::vector<TSlot>& VecInputs)
{
    const long LngInputs = static_cast<long>(VecInputs.size());
    TBlockRegisters Registers(LngInputs + 1, 1, 0);
    TInstruction Instruction;
    Instruction.Op = Op;
    Instruction.LngOut = LngInputs;
    for (long LngInput = 0; LngInput < LngInputs; ++LngInput) {
        const TExpressionProgram::TConstant& Input =
            MbrVecConstants[static_cast<std::size_t>(VecInputs[static_cast<std::size_t>(LngInput)].LngIndex)];
        TExpressionKernels::Fill(Input.DblValue, Input.BlnData, Registers.Column(LngInput), 1);
        Instruction.ArrIn[static_cast<std::size_t>(LngInput)].LngRegister = LngInput;
    }
    const TGridFrame NoFrame;
    TExpressionKernels::Execute(Instruction, Registers, {NoFrame, 0, 0}, 1);
    const TColumn Out = Registers.Column(LngInputs);
    return Constant(Out.PtrValues[0], Out.PtrData[0] != 0);
}

TExpressionProgram TExpressionBuilder::Finish(TSlot Result) const
{
    // The constants read, renumbered in order.
    std::vector<long> VecConstantRegister(MbrVecConstants.size(), -1);
    const auto MarkRead = [&](const TSlot& Slot) {
        if (Slot.Space == TSlot::TSpace::Constant)
            VecConstantRegister[static_cast<std::size_t>(Slot.LngIndex)] = 0;
    };
    MarkRead(Result);
    for (const TStep& Step : MbrVecSteps)
        std::for_each(Step.VecInputs.begin(), Step.VecInputs.end(), MarkRead);
    TExpressionProgram Program;
    for (std::size_t LngConstant = 0; LngConstant < MbrVecConstants.size(); ++LngConstant)
        if (VecConstantRegister[LngConstant] == 0) {
            VecConstantRegister[LngConstant] = static_cast<long>(Program.VecConstants.size());
            Program.VecConstants.push_back(MbrVecConstants[LngConstant]);
        }

    const long LngFirstLoad = static_cast<long>(Program.VecConstants.size());
    const long LngFirstResult = LngFirstLoad + static_cast<long>(MbrVecLoads.size());
    const auto Register = [&](const TSlot& Slot) {
        switch (Slot.Space) {
        case TSlot::TSpace::Constant: return VecConstantRegister[static_cast<std::size_t>(Slot.LngIndex)];
        case TSlot::TSpace::Load: return LngFirstLoad + Slot.LngIndex;
        default: return LngFirstResult + Slot.LngIndex;
        }
    };
    const auto Operand = [&](const TSlot& Slot) { return TOperand{Register(Slot), Slot.LngShift}; };
    Program.VecLoads = MbrVecLoads;
    for (const TStep& Step : MbrVecSteps) {
        TInstruction Instruction;
        Instruction.Op = Step.Op;
        Instruction.LngOut = Register(Step.Out);
        for (std::size_t LngInput = 0; LngInput < Step.VecInputs.size(); ++LngInput)
            Instruction.ArrIn[LngInput] = Operand(Step.VecInputs[LngInput]);
        Program.VecInstructions.push_back(Instruction);
    }
    Program.LngRegisters = LngFirstResult + MbrLngResults;
    Program.LngMargin = MbrLngMargin;
    Program.Result = Operand(Result);
    return Program;
}
