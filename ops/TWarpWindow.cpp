#include "ops/TWarpWindow.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The span of source coordinates along one axis that the target's edges
// reach.
struct TSpan {
    double DblMin = std::numeric_limits<double>::infinity();
    double DblMax = -std::numeric_limits<double>::infinity();

    void Add(double DblValue)
    {
        DblMin = std::min(DblMin, DblValue);
        DblMax = std::max(DblMax, DblValue);
    }
};

// The target's edges sampled as gdalwarp samples them, 21 points a side
// (the ratio summed step by step, so its last value may pass 1 by a hair),
// in source coordinates.
void SampleEdges(const TWarpTransform& Transform, const TGridFrame& Target, TSpan& X, TSpan& Y)
{
    const double DblCols = static_cast<double>(Target.LngCols);
    const double DblRows = static_cast<double>(Target.LngRows);
    constexpr double DblStep = 1.0 / 20;
    for (double DblRatio = 0.0; DblRatio <= 1.0 + DblStep * 0.5; DblRatio += DblStep) {
        const double ArrPixel[4] = {DblRatio * DblCols, DblRatio * DblCols, 0.0, DblCols};
        const double ArrLine[4] = {0.0, DblRows, DblRatio * DblRows, DblRatio * DblRows};
        for (int LngSide = 0; LngSide < 4; ++LngSide) {
            X.Add(Transform.SourceX(ArrPixel[LngSide], ArrLine[LngSide]));
            Y.Add(Transform.SourceY(ArrPixel[LngSide], ArrLine[LngSide]));
        }
    }
}

// A coordinate within 1e-6 of a whole number is that number.
double WholeIfClose(double DblValue)
{
    const double DblRounded = std::round(DblValue);
    return std::fabs(DblRounded - DblValue) < 1e-6 ? DblRounded : DblValue;
}

// The block along one axis of LngCells source cells for LngTarget target
// cells spanning Span, and the kernel's scale along it.
struct TAxisWindow {
    long LngOff = 0;
    long LngSize = 0;
    double DblScale = 1.0;
};

// The kernel's scale: target cells per source cell of the block, the margin
// left out; 1 where the block holds as many cells as the target, and 1/n
// where the inverse is within 0.05 of a whole n.
double KernelScale(long LngTarget, long LngSize, double DblExtra)
{
    double DblScale = static_cast<double>(LngTarget) / (LngSize - DblExtra);
    if (LngSize >= LngTarget && LngSize <= LngTarget + DblExtra)
        DblScale = 1.0;
    if (DblScale < 1.0) {
        const double DblInverse = 1.0 / DblScale;
        const long LngWhole = static_cast<long>(DblInverse + 0.5);
        if (std::fabs(DblInverse - LngWhole) < 0.05)
            DblScale = 1.0 / static_cast<double>(LngWhole);
    }
    return DblScale;
}

TAxisWindow AxisWindow(const TSpan& Span, long LngTarget, long LngCells, long LngRadius)
{
    // The margin widens with the kernel where target cells are coarser.
    const double DblSpanScale = std::max(1e-3, LngTarget / (Span.DblMax - Span.DblMin));
    const long LngMargin = DblSpanScale < 0.95
        ? static_cast<long>(std::ceil(LngRadius / DblSpanScale)) : LngRadius;
    const double DblCells = static_cast<double>(LngCells);
    const long LngMin = static_cast<long>(std::max(0.0, Span.DblMin));
    const long LngMax = static_cast<long>(std::min(std::ceil(Span.DblMax), DblCells));
    const double DblRawSize = std::max(0.0, std::min(static_cast<double>(LngCells - LngMin),
                                                     Span.DblMax - Span.DblMin));
    TAxisWindow Window;
    // A span over most of the source takes all of it.
    if (LngMax - LngMin > 0.9 * DblCells) {
        Window.LngSize = LngCells;
    } else {
        Window.LngOff = std::max(0L, std::min(LngMin - LngMargin, LngCells));
        Window.LngSize = std::max(0L, std::min(LngCells - Window.LngOff, LngMax - Window.LngOff + LngMargin));
    }
    Window.DblScale = KernelScale(LngTarget, Window.LngSize, Window.LngSize - DblRawSize);
    return Window;
}

}  // namespace

TWarpWindow TWarpWindow::Of(const TWarpTransform& Transform, const TGridFrame& Source,
                            const TGridFrame& Target, long LngRadius)
{
    TSpan X, Y;
    SampleEdges(Transform, Target, X, Y);
    if (X.DblMin > Source.LngCols || X.DblMax < 0 || Y.DblMin > Source.LngRows || Y.DblMax < 0)
        return {};
    for (TSpan* PtrSpan : {&X, &Y}) {
        PtrSpan->DblMin = WholeIfClose(PtrSpan->DblMin);
        PtrSpan->DblMax = WholeIfClose(PtrSpan->DblMax);
    }
    const TAxisWindow Columns = AxisWindow(X, Target.LngCols, Source.LngCols, LngRadius);
    const TAxisWindow Rows = AxisWindow(Y, Target.LngRows, Source.LngRows, LngRadius);
    return {Columns.LngOff, Rows.LngOff, Columns.LngSize, Rows.LngSize, Columns.DblScale,
            Rows.DblScale};
}
