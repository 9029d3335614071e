#pragma once
// ASCII grid text read and written plainly, apart from the toolkit, so tests
// can check the files the command and other programs write against values
// they computed themselves.

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

struct TGridText {
    long LngCols = 0;
    long LngRows = 0;
    double DblXllCorner = 0.0;
    double DblYllCorner = 0.0;
    double DblCellSize = 0.0;
    double DblNoData = -9999.0;
    std::vector<double> VecCells;  // row by row, north row first
};

// The grid the text holds: six tagged header entries, each value a whole
// token as strtod reads it, then at least ncols * nrows cell tokens (any
// further tokens ignored). Nothing when the text holds no complete grid.
inline std::optional<TGridText> ParseGridText(const std::string& StgText)
{
    std::istringstream Stream(StgText);
    std::vector<std::string> VecTokens;
    for (std::string StgToken; Stream >> StgToken;)
        VecTokens.push_back(StgToken);
    const auto Number = [&](std::size_t LngAt, double& DblValue) {
        char* PtrEnd = nullptr;
        if (LngAt < VecTokens.size())
            DblValue = std::strtod(VecTokens[LngAt].c_str(), &PtrEnd);
        return PtrEnd && *PtrEnd == '\0';
    };

    const char* const ArrTags[] = {"ncols", "nrows", "xllcorner", "yllcorner", "cellsize",
                                   "NODATA_value"};
    double ArrHeader[6];
    for (std::size_t LngEntry = 0; LngEntry < 6; ++LngEntry)
        if (!Number(2 * LngEntry + 1, ArrHeader[LngEntry])
            || VecTokens[2 * LngEntry] != ArrTags[LngEntry])
            return std::nullopt;
    TGridText Grid{static_cast<long>(ArrHeader[0]), static_cast<long>(ArrHeader[1]), ArrHeader[2],
                   ArrHeader[3], ArrHeader[4], ArrHeader[5], {}};
    if (Grid.LngCols != ArrHeader[0] || Grid.LngRows != ArrHeader[1] || Grid.LngCols < 0
        || Grid.LngRows < 0)
        return std::nullopt;
    const std::size_t LngCells = static_cast<std::size_t>(Grid.LngCols * Grid.LngRows);
    for (double DblCell = 0; Grid.VecCells.size() < LngCells; Grid.VecCells.push_back(DblCell))
        if (!Number(12 + Grid.VecCells.size(), DblCell))
            return std::nullopt;
    return Grid;
}

// The shortest text that strtod reads back as DblValue.
inline std::string ShortestText(double DblValue)
{
    char ArrText[40];
    for (int LngDigits = 1; LngDigits <= 17; ++LngDigits) {
        std::snprintf(ArrText, sizeof ArrText, "%.*g", LngDigits, DblValue);
        if (std::strtod(ArrText, nullptr) == DblValue)
            break;
    }
    return ArrText;
}

// The grid as an ASCII grid file, every number exact.
inline std::string GridFileText(const TGridText& Grid)
{
    std::string StgText = "ncols " + std::to_string(Grid.LngCols) + "\nnrows "
        + std::to_string(Grid.LngRows) + "\nxllcorner " + ShortestText(Grid.DblXllCorner)
        + "\nyllcorner " + ShortestText(Grid.DblYllCorner) + "\ncellsize "
        + ShortestText(Grid.DblCellSize) + "\nNODATA_value " + ShortestText(Grid.DblNoData) + "\n";
    for (std::size_t LngCell = 0; LngCell < Grid.VecCells.size(); ++LngCell) {
        StgText += ShortestText(Grid.VecCells[LngCell]);
        StgText += (LngCell + 1) % static_cast<std::size_t>(Grid.LngCols) == 0 ? '\n' : ' ';
    }
    return StgText;
}
