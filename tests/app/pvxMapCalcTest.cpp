// calc end to end against numpy: random grids with no data, NaN and
// infinities, one table of expressions, each also written in numpy with its
// no-data rule; numpy reads the inputs and pvxMap's output (17 digits) and
// compares every cell. Skipped without python3 and numpy.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "support/TCommand.h"
#include "support/TGridText.h"
#include "support/TTempDir.h"

namespace {

TGridText RandomGrid(unsigned LngSeed)
{
    std::mt19937 Random(LngSeed);
    std::uniform_real_distribution<double> Value(-50, 50);
    TGridText Grid{9, 7, 100, 200, 10, -9999, {}};
    for (int LngCell = 0; LngCell < 63; ++LngCell) {
        const unsigned LngKind = Random() % 20;
        Grid.VecCells.push_back(LngKind == 0   ? -9999
                                : LngKind == 1 ? std::nan("")
                                : LngKind == 2 ? (Random() % 2 ? INFINITY : -INFINITY)
                                : LngKind == 3 ? 0.0
                                               : std::round(Value(Random) * 8) / 8);
    }
    return Grid;
}

// The numpy side: reads a.asc, b.asc and out.asc; RESULT and NODATA are
// filled in per case.
const char* const StgCompare = R"(
import numpy as np, sys
def grid(name):
    cells = np.loadtxt(name, skiprows=6, ndmin=2)
    nodata = float(open(name).read().split()[11])
    return cells, (cells == nodata)
a, na = grid('a.asc')
b, nb = grid('b.asc')
out, nout = grid('out.asc')
rows, cols = np.indices(a.shape)
x = 100 + (cols + 0.5) * 10
y = 200 + (a.shape[0] - rows - 0.5) * 10
def shift(g, m, dr, dc):
    s = np.full(g.shape, np.nan); sm = np.ones(g.shape, bool)
    r0, r1 = max(0, -dr), min(g.shape[0], g.shape[0] - dr)
    c0, c1 = max(0, -dc), min(g.shape[1], g.shape[1] - dc)
    s[r0:r1, c0:c1] = g[r0 + dr:r1 + dr, c0 + dc:c1 + dc]
    sm[r0:r1, c0:c1] = m[r0 + dr:r1 + dr, c0 + dc:c1 + dc]
    return s, sm
with np.errstate(all='ignore'):
    expected = np.asarray(RESULT, dtype=float) * np.ones(a.shape)
    nodata = np.asarray(NODATA, dtype=bool) * np.ones(a.shape, bool)
bad = (nodata != nout) | (~nodata & ~((np.isnan(expected) & np.isnan(out)) | (expected == out) |
                                     (np.abs(expected - out) <= 1e-14 * np.abs(expected))))
for r, c in zip(*np.nonzero(bad)):
    print('cell', r, c, 'expected', expected[r, c], 'no data' if nodata[r, c] else '', 'got', out[r, c], 'no data' if nout[r, c] else '')
print('checked', bad.size)
)";

// A Python that has numpy (Debian's, where another python3 comes first on
// the path), empty for none.
std::string NumpyPython()
{
    for (const char* StgPython : {"python3", "/usr/bin/python3"})
        if (RunShell(std::string(StgPython) + " -c 'import numpy'").LngStatus == 0)
            return StgPython;
    return "";
}

}  // namespace

TEST(MapCalc, AgreesWithNumpy)
{
    const std::string StgPython = NumpyPython();
    if (StgPython.empty())
        GTEST_SKIP() << "python3 with numpy is not installed";
    TTempDir Dir;
    WriteText(Dir / "a.asc", GridFileText(RandomGrid(1)));
    WriteText(Dir / "b.asc", GridFileText(RandomGrid(2)));
    const struct {
        const char* StgExpression;
        const char* StgResult;
        const char* StgNoData;
    } ArrCases[] = {
        {"a + b * 2 - a / b", "a + b * 2 - a / b", "na | nb"},
        {"-a ^ 2 + 2 ^ 3 ^ 2 + a % 3", "-(a ** 2) + 2 ** 9 + np.fmod(a, 3)", "na"},
        {"(a > b) + (a >= b) * 2 + (a < b) * 4 + (a <= b) * 8 + (a == b) * 16 + (a != b) * 32",
         "(a > b) + (a >= b) * 2 + (a < b) * 4 + (a <= b) * 8 + (a == b) * 16 + (a != b) * 32", "na | nb"},
        {"a && b || !a", "((a != 0) & (b != 0)) | (a == 0)", "na | nb"},
        {"a > 0 ? b : -b", "np.where(a > 0, b, -b)", "na | nb"},
        {"if(isnull(a), b, a)", "np.where(na, b, a)", "np.where(na, nb, False)"},
        {"isnull(a) + isnull(b) * 2", "na + nb * 2", "False"},
        {"if(a > 10, null(), a)", "a", "na | (a > 10)"},
        {"abs(a) + sqrt(abs(b)) + exp(a / 50) + log(abs(b) + 1) + log10(abs(a) + 1)",
         "np.abs(a) + np.sqrt(np.abs(b)) + np.exp(a / 50) + np.log(np.abs(b) + 1) + np.log10(np.abs(a) + 1)", "na | nb"},
        {"sin(a) + cos(b) + tan(a / 100) + asin(b / 100) + acos(a / 100) + atan(b) + atan2(a, b)",
         "np.sin(a) + np.cos(b) + np.tan(a / 100) + np.arcsin(b / 100) + np.arccos(a / 100) + np.arctan(b) + np.arctan2(a, b)",
         "na | nb"},
        {"floor(a) + ceil(b) * 3 + round(a * 4) / 4", "np.floor(a) + np.ceil(b) * 3 + np.sign(a * 4) * np.floor(np.abs(a * 4) + 0.5) / 4",
         "na | nb"},
        {"min(a, b, 3) + max(a, -1)", "np.minimum(np.minimum(a, b), 3) + np.maximum(a, -1)", "na | nb"},
        {"x() + y() * 1000 + col() + row() * 100", "x + y * 1000 + cols + rows * 100", "False"},
        {"a[-1, 0] + a[1, 1] - b[0, -2]", "shift(a, na, -1, 0)[0] + shift(a, na, 1, 1)[0] - shift(b, nb, 0, -2)[0]",
         "shift(a, na, -1, 0)[1] | shift(a, na, 1, 1)[1] | shift(b, nb, 0, -2)[1]"},
        {"nan * a + inf", "np.nan * a + np.inf", "na"},
    };
    for (const auto& Case : ArrCases) {
        const TCommandResult Calc = RunMap({"calc", Case.StgExpression, "a=a.asc", "b=b.asc", "-o", "out.asc",
                                            "--digits", "17", "--nodata", "-12345"},
                                           "cd " + ShellQuoted(Dir.Path().string()) + " &&");
        ASSERT_EQ(Calc.LngStatus, 0) << Case.StgExpression << ": " << Calc.StgErr;
        std::string StgScript = StgCompare;
        StgScript.replace(StgScript.find("RESULT"), 6, Case.StgResult);
        StgScript.replace(StgScript.find("NODATA,"), 6, Case.StgNoData);
        WriteText(Dir / "compare.py", StgScript);
        const TCommandResult Numpy = RunShell("cd " + ShellQuoted(Dir.Path().string()) + " && " + StgPython + " compare.py");
        EXPECT_EQ(Numpy.StgOut, "checked 63\n") << Case.StgExpression << "\n" << Numpy.StgErr;
    }
}
