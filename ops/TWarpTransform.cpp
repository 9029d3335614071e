#include "ops/TWarpTransform.h"

#include <cmath>

namespace {

// A north-up frame's geotransform: west edge, cell width, no rotation, north
// edge, no rotation, cell height (negative, rows running south).
void GeoTransformOf(const TGridFrame& Frame, double* PtrOut)
{
    const double ArrValues[6] = {Frame.West(), Frame.DblCellSize, 0.0,
                                 Frame.North(), 0.0, -Frame.DblCellSize};
    for (int LngI = 0; LngI < 6; ++LngI)
        PtrOut[LngI] = ArrValues[LngI];
}

// The inverse of a geotransform without rotation, as GDAL inverts it.
void InverseOf(const double* PtrIn, double* PtrOut)
{
    const double ArrValues[6] = {-PtrIn[0] / PtrIn[1], 1.0 / PtrIn[1], 0.0,
                                 -PtrIn[3] / PtrIn[5], 0.0, 1.0 / PtrIn[5]};
    for (int LngI = 0; LngI < 6; ++LngI)
        PtrOut[LngI] = ArrValues[LngI];
}

// The first (LngAt 0) or second (LngAt 3) coordinate of a geotransform
// applied to (DblA, DblB), with its zero terms, in GDAL's order of terms.
double Apply(const double* PtrTransform, int LngAt, double DblA, double DblB)
{
    return PtrTransform[LngAt] + DblA * PtrTransform[LngAt + 1] + DblB * PtrTransform[LngAt + 2];
}

}  // namespace

TWarpTransform::TWarpTransform(const TGridFrame& Source, const TGridFrame& Target)
    : MbrBlnSameCellSize(Source.DblCellSize == Target.DblCellSize)
{
    double ArrSource[6];
    GeoTransformOf(Source, ArrSource);
    InverseOf(ArrSource, MbrArrSourceInverse);
    GeoTransformOf(Target, MbrArrTarget);
}

double TWarpTransform::SourceX(double DblPixel, double DblLine) const
{
    const double DblMapX = Apply(MbrArrTarget, 0, DblPixel, DblLine);
    const double DblMapY = Apply(MbrArrTarget, 3, DblPixel, DblLine);
    return Apply(MbrArrSourceInverse, 0, DblMapX, DblMapY);
}

double TWarpTransform::SourceY(double DblPixel, double DblLine) const
{
    const double DblMapX = Apply(MbrArrTarget, 0, DblPixel, DblLine);
    const double DblMapY = Apply(MbrArrTarget, 3, DblPixel, DblLine);
    return Apply(MbrArrSourceInverse, 3, DblMapX, DblMapY);
}

std::vector<double> TWarpTransform::ApproximateColumns(long LngCols) const
{
    std::vector<double> VecColumns(static_cast<std::size_t>(LngCols));
    // The row's line does not enter a column of a map without rotation.
    constexpr double DblLine = 0.5;
    if (LngCols <= 5) {
        for (long LngCol = 0; LngCol < LngCols; ++LngCol)
            VecColumns[static_cast<std::size_t>(LngCol)] = SourceX(LngCol + 0.5, DblLine);
        return VecColumns;
    }
    const double DblLast = (LngCols - 1) + 0.5;
    const double DblFirstX = SourceX(0.5, DblLine);
    const double DblStep = (SourceX(DblLast, DblLine) - DblFirstX) / (DblLast - 0.5);
    for (long LngCol = 0; LngCol < LngCols; ++LngCol)
        VecColumns[static_cast<std::size_t>(LngCol)] = DblFirstX + DblStep * ((LngCol + 0.5) - 0.5);
    return VecColumns;
}

bool TWarpTransform::ShiftsByWholeCells() const
{
    const auto NearlyWhole = [](double DblValue) {
        return std::fabs(DblValue - std::round(DblValue)) <= 1e-6;
    };
    return MbrBlnSameCellSize
        && NearlyWhole(Apply(MbrArrSourceInverse, 0, MbrArrTarget[0], MbrArrTarget[3]))
        && NearlyWhole(Apply(MbrArrSourceInverse, 3, MbrArrTarget[0], MbrArrTarget[3]));
}
