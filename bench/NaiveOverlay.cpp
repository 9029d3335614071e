// The straightforward way to scale a grid, for comparison only: iostream
// extraction and insertion per cell, the whole grid in memory twice.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cout << "usage: NaiveOverlay in out scalar" << std::endl;
        return 2;
    }
    std::ifstream In(argv[1]);
    std::string StgTag;
    long LngCols = 0, LngRows = 0;
    double DblXll = 0, DblYll = 0, DblCellSize = 0, DblNoData = 0;
    In >> StgTag >> LngCols >> StgTag >> LngRows >> StgTag >> DblXll >> StgTag >> DblYll >> StgTag
        >> DblCellSize >> StgTag >> DblNoData;
    std::vector<double> VecIn(static_cast<std::size_t>(LngCols * LngRows));
    for (double& DblCell : VecIn)
        In >> DblCell;
    const double DblScalar = std::stod(argv[3]);
    std::vector<double> VecOut(VecIn.size());
    for (std::size_t LngI = 0; LngI < VecIn.size(); ++LngI)
        VecOut[LngI] = VecIn[LngI] == DblNoData ? DblNoData : VecIn[LngI] * DblScalar;

    std::ofstream Out(argv[2]);
    Out.precision(15);
    Out << "ncols " << LngCols << "\nnrows " << LngRows << "\nxllcorner " << DblXll
        << "\nyllcorner " << DblYll << "\ncellsize " << DblCellSize << "\nNODATA_value " << DblNoData
        << "\n";
    for (long LngY = 0; LngY < LngRows; ++LngY) {
        for (long LngX = 0; LngX < LngCols; ++LngX)
            Out << VecOut[static_cast<std::size_t>(LngY * LngCols + LngX)] << ' ';
        Out << '\n';
    }
    return Out ? 0 : 1;
}
