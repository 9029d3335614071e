#pragma once
// The header format messages both dialects of the header reader give, the
// geometry checks' among them.

namespace TGridHeaderMessages {

inline constexpr const char* Ncols = "File format error: expected to find ncols tag";
inline constexpr const char* Nrows = "File format error: expectd to find nrows tag";
inline constexpr const char* XllCorner = "File format error: expected to find xllcorner tag";
inline constexpr const char* YllCorner = "File format error: expected to find yllcorner tag";
inline constexpr const char* CellSize = "File format error: expected to find cellsize tag";
inline constexpr const char* NoData = "File format error: expected to find NODATA_value tag";
inline constexpr const char* NcolsNegative = "File format error: ncols must not be negative";
inline constexpr const char* NrowsNegative = "File format error: nrows must not be negative";
inline constexpr const char* NoDataNotANumber = "File format error: NODATA_value is not a number";
inline constexpr const char* CellSizeNotPositive = "File format error: cellsize must be greater than 0";
inline constexpr const char* ExtentOutOfRange = "File format error: grid extent is out of range";

}  // namespace TGridHeaderMessages
