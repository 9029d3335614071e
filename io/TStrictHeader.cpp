#include "io/TStrictHeader.h"

#include <string_view>

#include "util/TError.h"
#include "io/TGridHeaderMessages.h"

namespace {

using namespace TGridHeaderMessages;

void ExpectTag(TTokenizer& Tokens, std::string_view StgTag, const char* StgMessage)
{
    if (Tokens.NextToken() != StgTag)
        throw TError(StgMessage);
}

// A value that does not read leaves the next tag unreadable, as stream
// extraction would, so it is reported with that tag's message.
long ReadDimension(TTokenizer& Tokens, const char* StgNextTagMessage,
                   const char* StgNegativeMessage)
{
    long LngValue;
    if (!Tokens.ReadInteger(LngValue))
        throw TError(StgNextTagMessage);
    if (LngValue < 0)
        throw TError(StgNegativeMessage);
    return LngValue;
}

double ReadValue(TTokenizer& Tokens, const char* StgNextTagMessage)
{
    double DblValue;
    if (!Tokens.ReadNumber(DblValue))
        throw TError(StgNextTagMessage);
    return DblValue;
}

// A number, or one of the texts the writer gives a non-finite value (a token
// a failed ReadNumber left whole for ReadCell).
double ReadNoDataValue(TTokenizer& Tokens)
{
    double DblValue;
    if (Tokens.ReadNumber(DblValue) || Tokens.ReadCell(DblValue) == TTokenizer::TCell::Ok)
        return DblValue;
    throw TError(NoDataNotANumber);
}

}  // namespace

TGridHeader ReadStrictHeader(TTokenizer& Tokens)
{
    TGridHeader Header;
    ExpectTag(Tokens, "ncols", Ncols);
    Header.LngCols =
        ReadDimension(Tokens, Nrows, NcolsNegative);
    ExpectTag(Tokens, "nrows", Nrows);
    Header.LngRows =
        ReadDimension(Tokens, XllCorner, NrowsNegative);
    ExpectTag(Tokens, "xllcorner", XllCorner);
    Header.DblXllCorner = ReadValue(Tokens, YllCorner);
    ExpectTag(Tokens, "yllcorner", YllCorner);
    Header.DblYllCorner = ReadValue(Tokens, CellSize);
    ExpectTag(Tokens, "cellsize", CellSize);
    Header.DblCellSize = ReadValue(Tokens, NoData);
    const std::string_view StgTag = Tokens.NextToken();
    if (StgTag != "NODATA_value" && StgTag != "nodata_value")
        throw TError(NoData);
    Header.DblNoDataValue = ReadNoDataValue(Tokens);
    Header.CheckGeometry();
    return Header;
}
