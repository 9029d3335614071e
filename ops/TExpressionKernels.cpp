#include "ops/TExpressionKernels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "util/TNoData.h"

TBlockRegisters::TBlockRegisters(long LngRegisters, long LngCells, long LngMargin)
    : MbrLngMargin(LngMargin),
      MbrLngStride(LngCells + 2 * LngMargin),
      MbrPtrValues(new double[static_cast<std::size_t>(LngRegisters * MbrLngStride)]),
      MbrPtrData(new double[static_cast<std::size_t>(LngRegisters * MbrLngStride)])
{
}

namespace {

std::uint64_t Bits(double DblValue)
{
    std::uint64_t LngBits;
    std::memcpy(&LngBits, &DblValue, sizeof LngBits);
    return LngBits;
}
double FromBits(std::uint64_t LngBits)
{
    double DblValue;
    std::memcpy(&DblValue, &LngBits, sizeof DblValue);
    return DblValue;
}

double Truth(bool BlnValue) { return BlnValue ? 1.0 : 0.0; }
bool IsTrue(double DblValue) { return DblValue != 0.0; }

// Each loop is instantiated with its operation inlined, and the program
// never makes an output overlap an input, so the loops vectorise.
template <class TOp>
void Unary(TColumn Out, TColumn A, long LngCells, TOp Op)
{
    for (long LngCell = 0; LngCell < LngCells; ++LngCell) {
        Out.PtrValues[LngCell] = Op(A.PtrValues[LngCell]);
        Out.PtrData[LngCell] = A.PtrData[LngCell];
    }
}

template <class TOp>
void Binary(TColumn Out, TColumn A, TColumn B, long LngCells, TOp Op)
{
    for (long LngCell = 0; LngCell < LngCells; ++LngCell) {
        Out.PtrValues[LngCell] = Op(A.PtrValues[LngCell], B.PtrValues[LngCell]);
        Out.PtrData[LngCell] = A.PtrData[LngCell] * B.PtrData[LngCell];  // "and" of 1.0 and 0.0
    }
}

// No data where the condition is; elsewhere the branch taken, its no data
// included. NaN is a true condition. Two loops, each on few enough arrays
// for the compiler to check their overlap and vectorise.
void Select(TColumn Out, TColumn Condition, TColumn Then, TColumn Else, long LngCells)
{
    for (long LngCell = 0; LngCell < LngCells; ++LngCell) {
        const double DblThen = Then.PtrValues[LngCell], DblElse = Else.PtrValues[LngCell];
        Out.PtrValues[LngCell] = IsTrue(Condition.PtrValues[LngCell]) ? DblThen : DblElse;
    }
    for (long LngCell = 0; LngCell < LngCells; ++LngCell) {
        const double DblThen = Then.PtrData[LngCell], DblElse = Else.PtrData[LngCell];
        Out.PtrData[LngCell] =
            Condition.PtrData[LngCell] * (IsTrue(Condition.PtrValues[LngCell]) ? DblThen : DblElse);
    }
}

void IsNull(TColumn Out, TColumn A, long LngCells)
{
    for (long LngCell = 0; LngCell < LngCells; ++LngCell) {
        Out.PtrValues[LngCell] = 1.0 - A.PtrData[LngCell];
        Out.PtrData[LngCell] = 1.0;
    }
}

// Out = Value(column) over the block's columns; always data.
template <class TValue>
void ByColumn(TColumn Out, long LngFirstCol, long LngCells, TValue Value)
{
    for (long LngCell = 0; LngCell < LngCells; ++LngCell) {
        Out.PtrValues[LngCell] = Value(LngFirstCol + LngCell);
        Out.PtrData[LngCell] = 1.0;
    }
}

// A NaN argument makes the result NaN; of equals, the first.
double Least(double DblA, double DblB)
{
    return std::isnan(DblA) || std::isnan(DblB) ? DblA + DblB : (DblB < DblA ? DblB : DblA);
}
double Greatest(double DblA, double DblB)
{
    return std::isnan(DblA) || std::isnan(DblB) ? DblA + DblB : (DblB > DblA ? DblB : DblA);
}

void ExecuteUnary(TOpCode Op, TColumn Out, TColumn A, long LngCells)
{
    switch (Op) {
    case TOpCode::Negate:
        return Unary(Out, A, LngCells, [](double DblA) { return -DblA; });
    case TOpCode::Not:
        return Unary(Out, A, LngCells, [](double DblA) { return Truth(DblA == 0.0); });
    case TOpCode::Abs:
        return Unary(Out, A, LngCells, [](double DblA) { return std::fabs(DblA); });
    case TOpCode::Sqrt:
        return Unary(Out, A, LngCells, [](double DblA) { return std::sqrt(DblA); });
    case TOpCode::Exp:
        return Unary(Out, A, LngCells, [](double DblA) { return std::exp(DblA); });
    case TOpCode::Log:
        return Unary(Out, A, LngCells, [](double DblA) { return std::log(DblA); });
    case TOpCode::Log10:
        return Unary(Out, A, LngCells, [](double DblA) { return std::log10(DblA); });
    case TOpCode::Sin:
        return Unary(Out, A, LngCells, [](double DblA) { return std::sin(DblA); });
    case TOpCode::Cos:
        return Unary(Out, A, LngCells, [](double DblA) { return std::cos(DblA); });
    case TOpCode::Tan:
        return Unary(Out, A, LngCells, [](double DblA) { return std::tan(DblA); });
    case TOpCode::Asin:
        return Unary(Out, A, LngCells, [](double DblA) { return std::asin(DblA); });
    case TOpCode::Acos:
        return Unary(Out, A, LngCells, [](double DblA) { return std::acos(DblA); });
    case TOpCode::Atan:
        return Unary(Out, A, LngCells, [](double DblA) { return std::atan(DblA); });
    case TOpCode::Floor:
        return Unary(Out, A, LngCells, [](double DblA) { return std::floor(DblA); });
    case TOpCode::Ceil:
        return Unary(Out, A, LngCells, [](double DblA) { return std::ceil(DblA); });
    case TOpCode::Round:
        return Unary(Out, A, LngCells, [](double DblA) { return std::round(DblA); });
    default:
        return IsNull(Out, A, LngCells);
    }
}

void ExecuteBinary(TOpCode Op, TColumn Out, TColumn A, TColumn B, long LngCells)
{
    switch (Op) {
    case TOpCode::Add:
        return Binary(Out, A, B, LngCells, [](double DblA, double DblB) { return DblA + DblB; });
    case TOpCode::Subtract:
        return Binary(Out, A, B, LngCells, [](double DblA, double DblB) { return DblA - DblB; });
    case TOpCode::Multiply:
        return Binary(Out, A, B, LngCells, [](double DblA, double DblB) { return DblA * DblB; });
    case TOpCode::Divide:
        return Binary(Out, A, B, LngCells, [](double DblA, double DblB) { return DblA / DblB; });
    case TOpCode::Modulo:
        return Binary(Out, A, B, LngCells, [](double DblA, double DblB) { return std::fmod(DblA, DblB); });
    case TOpCode::Power:
        return Binary(Out, A, B, LngCells, [](double DblA, double DblB) { return std::pow(DblA, DblB); });
    case TOpCode::Less:
        return Binary(Out, A, B, LngCells, [](double DblA, double DblB) { return Truth(DblA < DblB); });
    case TOpCode::LessEqual:
        return Binary(Out, A, B, LngCells, [](double DblA, double DblB) { return Truth(DblA <= DblB); });
    case TOpCode::Greater:
        return Binary(Out, A, B, LngCells, [](double DblA, double DblB) { return Truth(DblA > DblB); });
    case TOpCode::GreaterEqual:
        return Binary(Out, A, B, LngCells, [](double DblA, double DblB) { return Truth(DblA >= DblB); });
    case TOpCode::Equal:
        return Binary(Out, A, B, LngCells, [](double DblA, double DblB) { return Truth(DblA == DblB); });
    case TOpCode::NotEqual:
        return Binary(Out, A, B, LngCells, [](double DblA, double DblB) { return Truth(DblA != DblB); });
    case TOpCode::And:
        return Binary(Out, A, B, LngCells,
                      [](double DblA, double DblB) { return Truth(IsTrue(DblA) && IsTrue(DblB)); });
    case TOpCode::Or:
        return Binary(Out, A, B, LngCells,
                      [](double DblA, double DblB) { return Truth(IsTrue(DblA) || IsTrue(DblB)); });
    case TOpCode::Atan2:
        return Binary(Out, A, B, LngCells, [](double DblA, double DblB) { return std::atan2(DblA, DblB); });
    case TOpCode::Min:
        return Binary(Out, A, B, LngCells, Least);
    default:
        return Binary(Out, A, B, LngCells, Greatest);
    }
}

void ExecutePlace(TOpCode Op, TColumn Out, const TBlockPlace& Place, long LngCells)
{
    const TGridFrame& Frame = Place.Frame;
    const double DblRowCentre = Frame.RowCentre(Place.LngRow);
    const double DblRow = static_cast<double>(Place.LngRow);
    switch (Op) {
    case TOpCode::X:
        return ByColumn(Out, Place.LngFirstCol, LngCells,
                        [&](long LngCol) { return Frame.ColumnCentre(LngCol); });
    case TOpCode::Y:
        return ByColumn(Out, Place.LngFirstCol, LngCells, [=](long) { return DblRowCentre; });
    case TOpCode::Column:
        return ByColumn(Out, Place.LngFirstCol, LngCells,
                        [](long LngCol) { return static_cast<double>(LngCol); });
    default:
        return ByColumn(Out, Place.LngFirstCol, LngCells, [=](long) { return DblRow; });
    }
}

int InputCount(TOpCode Op)
{
    if (Op >= TOpCode::X)
        return 0;
    if (Op == TOpCode::Select)
        return 3;
    return Op >= TOpCode::Negate ? 1 : 2;
}

}  // namespace

void TExpressionKernels::Execute(const TInstruction& Instruction, const TBlockRegisters& Registers,
                                 const TBlockPlace& Place, long LngCells)
{
    const TColumn Out = Registers.Column(Instruction.LngOut);
    const auto In = [&](int LngInput) { return Registers.Column(Instruction.ArrIn[LngInput]); };
    switch (InputCount(Instruction.Op)) {
    case 0: return ExecutePlace(Instruction.Op, Out, Place, LngCells);
    case 1: return ExecuteUnary(Instruction.Op, Out, In(0), LngCells);
    case 2: return ExecuteBinary(Instruction.Op, Out, In(0), In(1), LngCells);
    default: return Select(Out, In(0), In(1), In(2), LngCells);
    }
}

void TExpressionKernels::Fill(double DblValue, bool BlnData, TColumn Out, long LngCells)
{
    std::fill(Out.PtrValues, Out.PtrValues + LngCells, DblValue);
    std::fill(Out.PtrData, Out.PtrData + LngCells, BlnData ? 1.0 : 0.0);
}

void TExpressionKernels::Load(const double* PtrRow, long LngFirstCol, long LngCols, TColumn Out,
                              long LngCells)
{
    // The block's cells that lie in the row: [LngFrom, LngTo).
    const long LngFrom = PtrRow ? std::clamp(-LngFirstCol, 0L, LngCells) : LngCells;
    const long LngTo = PtrRow ? std::clamp(LngCols - LngFirstCol, LngFrom, LngCells) : LngCells;
    Fill(TNoData::Marker(), false, Out, LngFrom);
    // The marker is told by its bits, in the operations on 64-bit lanes
    // that every x86-64 has (a 64-bit comparison it has not), so that the
    // loop vectorises.
    const std::uint64_t LngMarker = Bits(TNoData::Marker()), LngOne = Bits(1.0);
    for (long LngCell = LngFrom; LngCell < LngTo; ++LngCell) {
        const double DblValue = PtrRow[LngFirstCol + LngCell];
        const std::uint64_t LngDiffer = Bits(DblValue) ^ LngMarker;  // 0 for the marker alone
        const std::uint64_t LngDataMask = 0 - ((LngDiffer | (0 - LngDiffer)) >> 63);
        Out.PtrValues[LngCell] = DblValue;
        Out.PtrData[LngCell] = FromBits(LngDataMask & LngOne);
    }
    Fill(TNoData::Marker(), false, {Out.PtrValues + LngTo, Out.PtrData + LngTo}, LngCells - LngTo);
}

void TExpressionKernels::Store(TColumn In, long LngCells, double* PtrOut)
{
    const double DblMarker = TNoData::Marker();
    for (long LngCell = 0; LngCell < LngCells; ++LngCell) {
        const double DblValue = In.PtrValues[LngCell];
        PtrOut[LngCell] = In.PtrData[LngCell] != 0.0 ? DblValue : DblMarker;
    }
}
