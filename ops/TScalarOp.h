#pragma once
// One cell of the scalar overlay: the single definition of its arithmetic,
// shared by TMapTools::Multiply/Divide and the streaming commands so the
// three agree bit for bit, and the one reading of its operation.

#include <optional>
#include <string>

class TScalarOp {
public:
    enum class TKind { Multiply, Divide };

    // The operation an argument names: only its first character counts, x
    // multiplies and / divides; none for anything else.
    static std::optional<TKind> KindOf(const std::string& StgOperation)
    {
        if (!StgOperation.empty() && StgOperation[0] == 'x')
            return TKind::Multiply;
        if (!StgOperation.empty() && StgOperation[0] == '/')
            return TKind::Divide;
        return std::nullopt;
    }

    TScalarOp(TKind Kind, double DblScalar, double DblNoDataValue)
        : MbrKind(Kind), MbrDblScalar(DblScalar), MbrDblNoDataValue(DblNoDataValue) {}

    // No-data cells (exact equality) stay no data; NaN is data and stays NaN.
    double operator()(double DblValue) const
    {
        return DblValue == MbrDblNoDataValue ? MbrDblNoDataValue : Apply(DblValue);
    }
    // The arithmetic on a data cell.
    double Apply(double DblValue) const
    {
        return MbrKind == TKind::Multiply ? DblValue * MbrDblScalar : DblValue / MbrDblScalar;
    }

private:
    TKind MbrKind;
    double MbrDblScalar;
    double MbrDblNoDataValue;
};
