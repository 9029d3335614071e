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

// The double a whole token stands for, as strtod reads it; nothing when
// strtod leaves part of the token.
inline std::optional<double> WholeNumber(const std::string& StgToken)
{
    if (StgToken.empty())
        return std::nullopt;
    char* PtrEnd = nullptr;
    const double DblValue = std::strtod(StgToken.c_str(), &PtrEnd);
    if (*PtrEnd != '\0')
        return std::nullopt;
    return DblValue;
}

// The grid the text holds: six tagged header entries, each a whole token,
// then at least ncols * nrows cell tokens (any further tokens ignored).
// Nothing when the text does not hold a complete grid.
inline std::optional<TGridText> ParseGridText(const std::string& StgText)
{
    std::istringstream Stream(StgText);
    std::vector<std::string> VecTokens;
    for (std::string StgToken; Stream >> StgToken;)
        VecTokens.push_back(StgToken);

    const char* const ArrTags[] = {"ncols", "nrows", "xllcorner", "yllcorner", "cellsize",
                                   "NODATA_value"};
    double ArrHeader[6];
    if (VecTokens.size() < 12)
        return std::nullopt;
    for (int LngEntry = 0; LngEntry < 6; ++LngEntry) {
        const std::optional<double> Value = WholeNumber(VecTokens[2 * LngEntry + 1]);
        if (VecTokens[2 * LngEntry] != ArrTags[LngEntry] || !Value)
            return std::nullopt;
        ArrHeader[LngEntry] = *Value;
    }

    TGridText Grid;
    Grid.LngCols = static_cast<long>(ArrHeader[0]);
    Grid.LngRows = static_cast<long>(ArrHeader[1]);
    Grid.DblXllCorner = ArrHeader[2];
    Grid.DblYllCorner = ArrHeader[3];
    Grid.DblCellSize = ArrHeader[4];
    Grid.DblNoData = ArrHeader[5];
    const std::size_t LngCells = static_cast<std::size_t>(Grid.LngCols * Grid.LngRows);
    if (Grid.LngCols != ArrHeader[0] || Grid.LngRows != ArrHeader[1] || Grid.LngCols < 0
        || Grid.LngRows < 0 || VecTokens.size() < 12 + LngCells)
        return std::nullopt;
    for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell) {
        const std::optional<double> Value = WholeNumber(VecTokens[12 + LngCell]);
        if (!Value)
            return std::nullopt;
        Grid.VecCells.push_back(*Value);
    }
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
