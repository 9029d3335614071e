#include "io/TTolerantHeader.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "util/TError.h"
#include "io/TGridHeaderMessages.h"

namespace {

namespace Msg = TGridHeaderMessages;

enum TEntry {
    TagCols, TagRows, TagXCorner, TagXCentre, TagYCorner, TagYCentre,
    TagCellSize, TagDx, TagDy, TagNoData, EntryCount
};

// Tags in lower case, in the order of TEntry.
constexpr std::string_view ArrTags[EntryCount] = {
    "ncols", "nrows", "xllcorner", "xllcenter", "yllcorner", "yllcenter",
    "cellsize", "dx", "dy", "nodata_value"};

// For a value that does not read, the message the strict dialect gives: that
// of the tag which follows in the fixed order.
constexpr const char* ArrBadValue[EntryCount] = {
    Msg::Nrows,    Msg::XllCorner, Msg::YllCorner, Msg::YllCorner, Msg::CellSize,
    Msg::CellSize, Msg::NoData,    Msg::NoData,    Msg::NoData,    Msg::NoDataNotANumber};

bool SameIgnoringCase(std::string_view StgText, std::string_view StgLower)
{
    if (StgText.size() != StgLower.size())
        return false;
    for (std::size_t LngAt = 0; LngAt < StgText.size(); ++LngAt)
        if (std::tolower(static_cast<unsigned char>(StgText[LngAt])) != StgLower[LngAt])
            return false;
    return true;
}

int EntryOf(std::string_view StgToken)
{
    for (int LngEntry = 0; LngEntry < EntryCount; ++LngEntry)
        if (SameIgnoringCase(StgToken, ArrTags[LngEntry]))
            return LngEntry;
    return -1;
}

// A token that can only be meant as a tag: it begins with a letter and is no
// cell value ("nan" and "Infinity" begin bodies).
bool IsWord(std::string_view StgToken)
{
    double DblValue;
    return !StgToken.empty() && std::isalpha(static_cast<unsigned char>(StgToken.front()))
        && TTokenizer::ParseTolerantCell(StgToken, DblValue) != TTokenizer::TCell::Ok;
}

[[noreturn]] void Refuse(const std::string& StgWhat) { throw TError("File format error: " + StgWhat); }

// The entries as the file gives them.
struct TEntries {
    bool ArrBlnGiven[EntryCount] = {};
    std::string ArrStgSpelling[EntryCount];
    double ArrDblValue[EntryCount] = {};
    long ArrLngValue[EntryCount] = {};

    bool Given(int LngEntry) const { return ArrBlnGiven[LngEntry]; }
    const std::string& Spelling(int LngEntry) const { return ArrStgSpelling[LngEntry]; }
};

// [+-]digits within 32 bits, as the strict dialect takes a dimension.
bool ParseInteger(std::string_view StgText, long& LngValue)
{
    const bool BlnPlus = !StgText.empty() && StgText.front() == '+';
    StgText.remove_prefix(BlnPlus);
    std::int32_t LngRead;
    const char* PtrEnd = StgText.data() + StgText.size();
    const auto [Ptr, Ec] = std::from_chars(StgText.data(), PtrEnd, LngRead);
    if (Ec != std::errc() || Ptr != PtrEnd || (BlnPlus && LngRead < 0))
        return false;
    LngValue = LngRead;
    return true;
}

// Any number the cells may hold; a corner or cell size that is no finite
// number is left to the geometry checks.
void ReadValue(TTokenizer& Tokens, int LngEntry, TEntries& Entries)
{
    const std::string_view StgValue = Tokens.NextToken();
    if (LngEntry == TagCols || LngEntry == TagRows) {
        long& LngValue = Entries.ArrLngValue[LngEntry];
        if (!ParseInteger(StgValue, LngValue))
            throw TError(ArrBadValue[LngEntry]);
        if (LngValue < 0)
            throw TError(LngEntry == TagCols ? Msg::NcolsNegative : Msg::NrowsNegative);
        return;
    }
    if (TTokenizer::ParseTolerantCell(StgValue, Entries.ArrDblValue[LngEntry]) != TTokenizer::TCell::Ok)
        throw TError(ArrBadValue[LngEntry]);
}

// Tags and their values until the first token that is no tag.
TEntries ReadEntries(TTokenizer& Tokens)
{
    TEntries Entries;
    Tokens.SkipByteOrderMark();
    for (;;) {
        const std::string_view StgToken = Tokens.PeekToken();
        const int LngEntry = EntryOf(StgToken);
        if (LngEntry < 0) {
            if (IsWord(StgToken))
                Refuse(std::string(StgToken) + " is not a header tag");
            return Entries;
        }
        if (Entries.Given(LngEntry))
            Refuse("header tag " + std::string(StgToken) + " given twice");
        Entries.ArrBlnGiven[LngEntry] = true;
        Entries.ArrStgSpelling[LngEntry] = std::string(Tokens.NextToken());
        ReadValue(Tokens, LngEntry, Entries);
    }
}

// One of two tags that stand for the same entry; -1 when neither is given.
int EitherOf(const TEntries& Entries, int LngFirst, int LngSecond)
{
    if (Entries.Given(LngFirst) && Entries.Given(LngSecond))
        Refuse("header tags " + Entries.Spelling(LngFirst) + " and " + Entries.Spelling(LngSecond)
               + " both given");
    return Entries.Given(LngFirst) ? LngFirst : Entries.Given(LngSecond) ? LngSecond : -1;
}

double CellSizeOf(const TEntries& Entries)
{
    for (int LngSide : {TagDx, TagDy})
        EitherOf(Entries, TagCellSize, LngSide);
    if (Entries.Given(TagCellSize))
        return Entries.ArrDblValue[TagCellSize];
    if (Entries.Given(TagDx) != Entries.Given(TagDy)) {
        const int LngGiven = Entries.Given(TagDx) ? TagDx : TagDy;
        Refuse("header tag " + Entries.Spelling(LngGiven) + " given without "
               + std::string(ArrTags[LngGiven == TagDx ? TagDy : TagDx]));
    }
    if (!Entries.Given(TagDx))
        throw TError(Msg::CellSize);
    if (Entries.ArrDblValue[TagDx] != Entries.ArrDblValue[TagDy])
        Refuse("cells are not square");
    return Entries.ArrDblValue[TagDx];
}

}  // namespace

TGridHeader ReadTolerantHeader(TTokenizer& Tokens)
{
    const TEntries Entries = ReadEntries(Tokens);
    Tokens.AcceptTolerantCells();
    if (!Entries.Given(TagCols))
        throw TError(Msg::Ncols);
    if (!Entries.Given(TagRows))
        throw TError(Msg::Nrows);
    const int LngX = EitherOf(Entries, TagXCorner, TagXCentre);
    if (LngX < 0)
        throw TError(Msg::XllCorner);
    const int LngY = EitherOf(Entries, TagYCorner, TagYCentre);
    if (LngY < 0)
        throw TError(Msg::YllCorner);

    TGridHeader Header;
    Header.LngCols = Entries.ArrLngValue[TagCols];
    Header.LngRows = Entries.ArrLngValue[TagRows];
    Header.DblCellSize = CellSizeOf(Entries);
    if ((LngX == TagXCentre) != (LngY == TagYCentre))
        Refuse(Entries.Spelling(LngX) + " and " + Entries.Spelling(LngY)
               + " mix a corner and a centre");
    // A centre lies half a cell inside the corner, as GDAL places it.
    const double DblShift = LngX == TagXCentre ? Header.DblCellSize / 2 : 0.0;
    Header.DblXllCorner = Entries.ArrDblValue[LngX] - DblShift;
    Header.DblYllCorner = Entries.ArrDblValue[LngY] - DblShift;
    Header.BlnNoDataGiven = Entries.Given(TagNoData);
    if (Header.BlnNoDataGiven)
        Header.DblNoDataValue = Entries.ArrDblValue[TagNoData];
    Header.CheckGeometry();
    return Header;
}
