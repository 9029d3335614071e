#include "io/TTokenizer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <system_error>

#include "io/TNonFiniteSpellings.h"

namespace {

constexpr std::size_t BufferSize = 64 * 1024;

// Stands in for a token longer than the buffer: no tag, number or cell value
// begins with it, so the token reads as junk wherever it stands.
constexpr char OverlongToken = '?';

using TCell = TTokenizer::TCell;

bool IsSpace(char ChrValue)
{
    // ' ', or one of '\t' '\n' '\v' '\f' '\r', which are consecutive.
    return ChrValue == ' ' || static_cast<unsigned>(ChrValue - '\t') <= '\r' - '\t';
}

bool IsDigit(char ChrValue) { return static_cast<unsigned>(ChrValue - '0') <= 9; }

bool IsSign(char ChrValue) { return ChrValue == '+' || ChrValue == '-'; }

const char* SkipDigits(const char* PtrFirst, const char* PtrLast)
{
    while (PtrFirst != PtrLast && IsDigit(*PtrFirst))
        ++PtrFirst;
    return PtrFirst;
}

// The end of the longest prefix of [PtrFirst, PtrLast) that stream extraction
// reads as a double, [+-]digits[.digits][(e|E)[+-]digits] with at least one
// mantissa digit; null if there is none, or if an exponent mark has no digits
// (extraction fails on "1e" rather than read 1).
const char* NumberEnd(const char* PtrFirst, const char* PtrLast)
{
    const char* Ptr = PtrFirst;
    if (Ptr != PtrLast && IsSign(*Ptr))
        ++Ptr;
    const char* PtrMantissa = Ptr;
    Ptr = SkipDigits(Ptr, PtrLast);
    bool BlnDigits = Ptr != PtrMantissa;
    if (Ptr != PtrLast && *Ptr == '.') {
        const char* PtrFraction = Ptr + 1;
        Ptr = SkipDigits(PtrFraction, PtrLast);
        BlnDigits = BlnDigits || Ptr != PtrFraction;
    }
    if (!BlnDigits)
        return nullptr;
    if (Ptr == PtrLast || (*Ptr != 'e' && *Ptr != 'E'))
        return Ptr;
    ++Ptr;
    if (Ptr != PtrLast && IsSign(*Ptr))
        ++Ptr;
    const char* PtrExponent = Ptr;
    Ptr = SkipDigits(Ptr, PtrLast);
    return Ptr == PtrExponent ? nullptr : Ptr;
}

// A number beyond the range std::from_chars reports: infinity is refused, an
// underflow takes the value strtod gives (zero or a subnormal).
TCell ConvertOutOfRange(const char* PtrFirst, const char* PtrLast, double& DblValue)
{
    const std::string StgNumber(PtrFirst, PtrLast);
    const double DblRead = std::strtod(StgNumber.c_str(), nullptr);
    if (std::isinf(DblRead))
        return TCell::OutOfRange;
    DblValue = DblRead;
    return TCell::Ok;
}

// Converts [PtrFirst, PtrLast) as a whole; the caller has made sure it does
// not begin with "+-" or a non-finite form, which std::from_chars would take.
TCell Convert(const char* PtrFirst, const char* PtrLast, double& DblValue)
{
    const char* PtrFrom = PtrFirst + (*PtrFirst == '+');  // from_chars takes no '+'
    double DblRead;
    const auto [Ptr, Ec] = std::from_chars(PtrFrom, PtrLast, DblRead);
    if (Ec == std::errc::invalid_argument || Ptr != PtrLast)
        return TCell::NotANumber;
    if (Ec == std::errc::result_out_of_range)
        return ConvertOutOfRange(PtrFrom, PtrLast, DblValue);
    DblValue = DblRead;
    return TCell::Ok;
}

// The texts the writer gives non-finite values, and only those.
TCell ConvertNonFinite(std::string_view StgToken, double& DblValue)
{
    constexpr double DblInf = std::numeric_limits<double>::infinity();
    const double DblNaN = std::numeric_limits<double>::quiet_NaN();
    const struct {
        std::string_view StgText;
        double DblValue;
    } Forms[] = {{"nan", std::copysign(DblNaN, 1.0)},
                 {"-nan", std::copysign(DblNaN, -1.0)},
                 {"inf", DblInf},
                 {"-inf", -DblInf}};
    for (const auto& Form : Forms) {
        if (StgToken == Form.StgText) {
            DblValue = Form.DblValue;
            return TCell::Ok;
        }
    }
    return TCell::NotANumber;
}

// The common cell, [-]digits[.digits] with at most 19 digits, followed by
// white space: when the digits as an integer M are below 2^53 and there are
// F <= 22 fraction digits, M and 10^F are exact doubles and M / 10^F is the
// correctly rounded value of the decimal (Clinger's fast path), as from_chars
// would give. Returns the token's end, or null to leave it to the general
// path.
const char* PlainDecimalEnd(const char* Ptr, double& DblValue)
{
    static constexpr double Pow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    constexpr std::uint64_t MaxExact = std::uint64_t{1} << 53;
    const bool BlnNegative = *Ptr == '-';
    Ptr += BlnNegative;
    const char* PtrDigits = Ptr;
    std::uint64_t LngMantissa = 0;
    for (; IsDigit(*Ptr); ++Ptr)
        LngMantissa = LngMantissa * 10 + static_cast<unsigned>(*Ptr - '0');
    long LngDigits = Ptr - PtrDigits;
    long LngFraction = 0;
    if (*Ptr == '.') {
        const char* PtrFraction = ++Ptr;
        for (; IsDigit(*Ptr); ++Ptr)
            LngMantissa = LngMantissa * 10 + static_cast<unsigned>(*Ptr - '0');
        LngFraction = Ptr - PtrFraction;
        LngDigits += LngFraction;
    }
    if (!IsSpace(*Ptr) || LngDigits <= 0 || LngDigits > 19 || LngMantissa > MaxExact
        || LngFraction > 22)
        return nullptr;
    const double DblMagnitude = static_cast<double>(LngMantissa) / Pow10[LngFraction];
    DblValue = BlnNegative ? -DblMagnitude : DblMagnitude;
    return Ptr;
}

// A token with one comma and no point as the same text with a point (in
// StgBuffer); any other token as it is.
std::string_view DecimalPointForm(std::string_view StgToken, std::string& StgBuffer)
{
    const std::size_t LngComma = StgToken.find(',');
    if (LngComma == std::string_view::npos || StgToken.find(',', LngComma + 1) != std::string_view::npos
        || StgToken.find('.') != std::string_view::npos)
        return StgToken;
    StgBuffer.assign(StgToken);
    StgBuffer[LngComma] = '.';
    return StgBuffer;
}

}  // namespace

// The buffer holds one byte more than its capacity: a space kept just after
// the last byte read, so a scan for the end of a token needs no bounds check.
TTokenizer::TTokenizer(TByteSource& Source)
    : MbrSource(Source),
      MbrPtrBuffer(new char[BufferSize + 1]),
      MbrLngCapacity(BufferSize),
      MbrPtrPos(MbrPtrBuffer.get()),
      MbrPtrEnd(MbrPtrBuffer.get())
{
    MbrPtrBuffer[0] = ' ';
}

TTokenizer::~TTokenizer() = default;

std::string_view TTokenizer::Pending() const
{
    return std::string_view(MbrPtrPos, static_cast<std::size_t>(MbrPtrEnd - MbrPtrPos));
}

bool TTokenizer::Refill()
{
    char* PtrBuffer = MbrPtrBuffer.get();
    const std::size_t LngKept = Pending().size();
    if (MbrPtrPos != PtrBuffer)
        std::memmove(PtrBuffer, MbrPtrPos, LngKept);
    const std::size_t LngRead =
        MbrBlnSourceDone ? 0 : MbrSource.Read(PtrBuffer + LngKept, MbrLngCapacity - LngKept);
    MbrBlnSourceDone = LngRead == 0;
    MbrPtrPos = PtrBuffer;
    MbrPtrEnd = PtrBuffer + LngKept + LngRead;
    PtrBuffer[LngKept + LngRead] = ' ';
    return LngRead != 0;
}

const char* TTokenizer::FillToken()
{
    const char* Ptr = MbrPtrPos;
    for (;;) {
        while (Ptr != MbrPtrEnd && IsSpace(*Ptr))
            ++Ptr;
        MbrPtrPos = Ptr;
        if (Ptr != MbrPtrEnd)
            break;
        if (!Refill())
            return nullptr;
        Ptr = MbrPtrPos;
    }
    while (!IsSpace(*Ptr))
        ++Ptr;
    if (Ptr != MbrPtrEnd || MbrBlnSourceDone)
        return Ptr;
    return CompleteToken();
}

const char* TTokenizer::CompleteToken()
{
    for (;;) {
        const std::size_t LngSeen = Pending().size();
        if (LngSeen >= BufferSize)
            return StopAtOverlongToken();
        if (!Refill())
            return MbrPtrEnd;
        const char* Ptr = MbrPtrPos + LngSeen;
        while (!IsSpace(*Ptr))
            ++Ptr;
        if (Ptr != MbrPtrEnd)
            return Ptr;
    }
}

// One junk byte stands for the whole token. The source is not read again: a
// token may never end (/dev/zero), and no reader wants what follows junk.
const char* TTokenizer::StopAtOverlongToken()
{
    char* PtrToken = MbrPtrBuffer.get() + (MbrPtrPos - MbrPtrBuffer.get());
    PtrToken[0] = OverlongToken;
    PtrToken[1] = ' ';
    MbrPtrEnd = PtrToken + 1;
    MbrBlnSourceDone = true;
    return MbrPtrEnd;
}

void TTokenizer::Reserve(std::size_t LngCapacity)
{
    if (LngCapacity <= MbrLngCapacity)
        return;
    std::unique_ptr<char[]> PtrBuffer(new char[LngCapacity + 1]);
    const std::string_view StgKept = Pending();
    std::memcpy(PtrBuffer.get(), StgKept.data(), StgKept.size());
    PtrBuffer[StgKept.size()] = ' ';
    MbrPtrBuffer = std::move(PtrBuffer);
    MbrLngCapacity = LngCapacity;
    MbrPtrPos = MbrPtrBuffer.get();
    MbrPtrEnd = MbrPtrPos + StgKept.size();
}

// Reads until LngBytes are pending or the input ends, then hands out the
// whole tokens: all of the input's end, else up to the last white space. A
// token alone in the buffer grows until it ends or is overlong.
std::string_view TTokenizer::NextTokens(std::size_t LngBytes)
{
    Reserve(std::max(LngBytes, BufferSize));
    for (;;) {
        const char* Ptr = MbrPtrPos;
        while (Ptr != MbrPtrEnd && IsSpace(*Ptr))
            ++Ptr;
        MbrPtrPos = Ptr;
        const bool BlnEmpty = Ptr == MbrPtrEnd;
        if ((BlnEmpty || Pending().size() < LngBytes) && Refill())
            continue;
        if (BlnEmpty)
            return {};
        if (MbrBlnSourceDone)
            return Pending();
        const char* PtrLast = MbrPtrEnd;
        while (PtrLast != MbrPtrPos && !IsSpace(PtrLast[-1]))
            --PtrLast;
        if (PtrLast != MbrPtrPos)
            return std::string_view(MbrPtrPos, static_cast<std::size_t>(PtrLast - 1 - MbrPtrPos));
        if (Pending().size() >= BufferSize) {
            StopAtOverlongToken();
            return Pending();
        }
        Refill();
    }
}

void TTokenizer::Consume(std::size_t LngBytes)
{
    MbrPtrPos += LngBytes;
}

bool TTokenizer::ReadPlainDecimal(double& DblValue)
{
    const char* Ptr = MbrPtrPos;
    while (IsSpace(*Ptr) && Ptr != MbrPtrEnd)
        ++Ptr;
    // The buffer's end is a space too, but there the token may go on.
    const char* PtrEnd = PlainDecimalEnd(Ptr, DblValue);
    if (!PtrEnd || PtrEnd == MbrPtrEnd)
        return false;
    MbrPtrPos = PtrEnd;
    return true;
}

const char* TTokenizer::ReadWholeCell(const char* PtrFirst, bool BlnTolerant, TCell& Cell,
                                      double& DblValue)
{
    if (const char* PtrEnd = PlainDecimalEnd(PtrFirst, DblValue)) {
        Cell = TCell::Ok;
        return PtrEnd;
    }
    const char* PtrLast = PtrFirst;
    while (!IsSpace(*PtrLast))
        ++PtrLast;
    const std::string_view StgToken(PtrFirst, static_cast<std::size_t>(PtrLast - PtrFirst));
    if (StgToken.size() >= BufferSize)
        Cell = TCell::NotANumber;
    else
        Cell = BlnTolerant ? ParseTolerantCell(StgToken, DblValue) : ParseCell(StgToken, DblValue);
    return PtrLast;
}

std::size_t TTokenizer::ReadCells(const char* PtrFirst, const char* PtrLast, bool BlnTolerant,
                                  double* PtrCells, std::size_t LngMax, TCell& Stop,
                                  const char*& PtrEnd)
{
    std::size_t LngCount = 0;
    Stop = TCell::Ok;
    PtrEnd = PtrFirst;
    const char* Ptr = PtrFirst;
    for (; LngCount < LngMax; ++LngCount) {
        while (Ptr != PtrLast && ::IsSpace(*Ptr))
            ++Ptr;
        if (Ptr == PtrLast)
            break;
        TCell Cell;
        const char* PtrToken = ReadWholeCell(Ptr, BlnTolerant, Cell, PtrCells[LngCount]);
        if (Cell != TCell::Ok) {
            Stop = Cell;
            break;
        }
        Ptr = PtrEnd = PtrToken;
    }
    return LngCount;
}

bool TTokenizer::IsSpace(char ChrValue)
{
    return ::IsSpace(ChrValue);
}

std::string_view TTokenizer::NextToken()
{
    const char* PtrLast = FillToken();
    if (!PtrLast)
        return {};
    const std::string_view StgToken(MbrPtrPos, static_cast<std::size_t>(PtrLast - MbrPtrPos));
    MbrPtrPos = PtrLast;
    return StgToken;
}

std::string_view TTokenizer::PeekToken()
{
    const char* PtrLast = FillToken();
    if (!PtrLast)
        return {};
    return std::string_view(MbrPtrPos, static_cast<std::size_t>(PtrLast - MbrPtrPos));
}

void TTokenizer::SkipByteOrderMark()
{
    constexpr std::string_view StgMark = "\xEF\xBB\xBF";
    if (PeekToken().substr(0, StgMark.size()) == StgMark)
        MbrPtrPos += StgMark.size();
}

bool TTokenizer::ReadInteger(long& LngValue)
{
    const char* PtrLast = FillToken();
    if (!PtrLast)
        return false;
    const bool BlnPlus = *MbrPtrPos == '+';
    const char* PtrFrom = MbrPtrPos + BlnPlus;  // from_chars takes no '+'
    if (BlnPlus && !IsDigit(*PtrFrom))          // "+-5"; the buffer's end is a space
        return false;
    std::int32_t LngRead;
    const auto [Ptr, Ec] = std::from_chars(PtrFrom, PtrLast, LngRead);
    if (Ec != std::errc())
        return false;
    LngValue = LngRead;
    MbrPtrPos = Ptr;
    return true;
}

bool TTokenizer::ReadNumber(double& DblValue)
{
    const char* PtrLast = FillToken();
    if (!PtrLast)
        return false;
    const char* PtrNumberEnd = NumberEnd(MbrPtrPos, PtrLast);
    if (!PtrNumberEnd || Convert(MbrPtrPos, PtrNumberEnd, DblValue) != TCell::Ok)
        return false;
    MbrPtrPos = PtrNumberEnd;
    return true;
}

TTokenizer::TCell TTokenizer::ReadCell(double& DblValue)
{
    if (ReadPlainDecimal(DblValue))
        return TCell::Ok;
    if (!FillToken())
        return TCell::End;
    TCell Cell;
    MbrPtrPos = ReadWholeCell(MbrPtrPos, MbrBlnTolerant, Cell, DblValue);
    return Cell;
}

TTokenizer::TCell TTokenizer::ParseCell(std::string_view StgText, double& DblValue)
{
    while (!StgText.empty() && IsSpace(StgText.front()))
        StgText.remove_prefix(1);
    while (!StgText.empty() && IsSpace(StgText.back()))
        StgText.remove_suffix(1);
    if (StgText.empty())
        return TCell::NotANumber;
    const char* PtrFirst = StgText.data();
    const char* PtrLast = PtrFirst + StgText.size();
    const char* PtrMantissa = PtrFirst + IsSign(*PtrFirst);
    if (PtrMantissa != PtrLast && (IsDigit(*PtrMantissa) || *PtrMantissa == '.'))
        return Convert(PtrFirst, PtrLast, DblValue);
    return ConvertNonFinite(StgText, DblValue);
}

// The spellings are looked for in the token as written, so that a comma
// never makes one ("1,#INF" is no 1.#INF).
TTokenizer::TCell TTokenizer::ParseTolerantCell(std::string_view StgToken, double& DblValue)
{
    std::string StgBuffer;
    const TCell Cell = ParseCell(DecimalPointForm(StgToken, StgBuffer), DblValue);
    if (Cell == TCell::NotANumber && TNonFiniteSpellings::Read(StgToken, DblValue))
        return TCell::Ok;
    return Cell;
}
