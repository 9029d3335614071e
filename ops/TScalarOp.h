#pragma once
// One cell of the scalar overlay: the single definition of its arithmetic,
// shared by TMapTools::Multiply/Divide and the streaming command so the two
// agree bit for bit.

class TScalarOp {
public:
    enum class TKind { Multiply, Divide };

    TScalarOp(TKind Kind, double DblScalar, double DblNoDataValue)
        : MbrKind(Kind), MbrDblScalar(DblScalar), MbrDblNoDataValue(DblNoDataValue) {}

    // No-data cells (exact equality) stay no data; NaN is data and stays NaN.
    double operator()(double DblValue) const
    {
        if (DblValue == MbrDblNoDataValue)
            return MbrDblNoDataValue;
        return MbrKind == TKind::Multiply ? DblValue * MbrDblScalar : DblValue / MbrDblScalar;
    }

private:
    TKind MbrKind;
    double MbrDblScalar;
    double MbrDblNoDataValue;
};
