#pragma once
// The one tokenizer and number reader of the toolkit, shared by every reader.
//
// Input is a sequence of tokens separated by white space (space, tab, CR, LF,
// vertical tab, form feed). Header values are read as stream extraction reads
// them: the longest prefix that is a number, the rest of the token staying for
// the next read. Cell values must be whole tokens. A token longer than the
// buffer (64 KiB) reads as junk (no tag, number or cell value) and ends the
// input: nothing past its first 64 KiB is read.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// Where the tokenizer takes its bytes from.
class TByteSource {
public:
    virtual ~TByteSource() = default;
    // Copies up to LngMax bytes into PtrBuf; 0 only at the end of the input.
    virtual std::size_t Read(char* PtrBuf, std::size_t LngMax) = 0;
};

class TTokenizer {
public:
    explicit TTokenizer(TByteSource& Source);
    ~TTokenizer();
    TTokenizer(const TTokenizer&) = delete;
    TTokenizer& operator=(const TTokenizer&) = delete;

    // The next token; empty at the end of the input. The view lasts until the
    // next call.
    std::string_view NextToken();
    // The same token, left for the next read.
    std::string_view PeekToken();
    // Skips a UTF-8 byte-order mark at the start of the next token.
    void SkipByteOrderMark();
    // From now on, ReadCell reads a cell as ParseTolerantCell does. Plain
    // decimals stay on the fast path; only other tokens take the longer one.
    void AcceptTolerantCells() { MbrBlnTolerant = true; }

    // A header integer: [+-]digits, within 32 bits. False when none is there.
    bool ReadInteger(long& LngValue);
    // A header number: [+-]digits[.digits][(e|E)[+-]digits], finite (a number
    // too small for a double reads as zero or subnormal). False when none is
    // there.
    bool ReadNumber(double& DblValue);

    enum class TCell { Ok, End, NotANumber, OutOfRange };
    // A whole token as a cell value: a number as ReadNumber reads it, or one
    // of "nan", "-nan", "inf", "-inf". OutOfRange for a number too large for a
    // double; End when no token is left.
    TCell ReadCell(double& DblValue);
    // A text that holds one cell value, as ReadCell reads it, with white space
    // around it allowed; NotANumber for anything else, an empty text included.
    static TCell ParseCell(std::string_view StgText, double& DblValue);
    // A token as the tolerant dialect reads a number: as ParseCell reads it,
    // or with one decimal comma in place of the point ("0,5"), or one of the
    // spellings of NaN and infinity that TNonFiniteSpellings.h lists.
    static TCell ParseTolerantCell(std::string_view StgToken, double& DblValue);

    // Whole tokens from the position on, for reading many at once: at least
    // LngBytes of them unless the input ends first, and at least one token
    // unless it has ended (then empty). The view begins at a token, ends
    // just before white space (a byte of it follows in memory), and lasts
    // until the next read; Consume then moves the position past what was
    // used.
    std::string_view NextTokens(std::size_t LngBytes);
    void Consume(std::size_t LngBytes);
    // The cells of the whole tokens in [PtrFirst, PtrLast), which white
    // space follows in memory, as ReadCell reads them (BlnTolerant as after
    // AcceptTolerantCells, a token of 64 KiB or more as junk): at most
    // LngMax into PtrCells. Stops before the first token that is no cell
    // value, setting Stop to the reason (else Ok). Returns the count; PtrEnd
    // is set just past the last token read.
    static std::size_t ReadCells(const char* PtrFirst, const char* PtrLast, bool BlnTolerant,
                                 double* PtrCells, std::size_t LngMax, TCell& Stop,
                                 const char*& PtrEnd);
    static bool IsSpace(char ChrValue);
    bool AcceptsTolerantCells() const { return MbrBlnTolerant; }

    // Bytes taken from the source that no read has consumed yet, for handing
    // them back to it. The view lasts until the next read.
    std::string_view Pending() const;

private:
    // ReadCell's fast path for plain decimals; false leaves the position.
    bool ReadPlainDecimal(double& DblValue);
    // Skips white space and makes sure the whole token that follows lies in
    // the buffer; returns the token's end, or null at the end of the input.
    const char* FillToken();
    // Moves the unconsumed bytes to the front of the buffer and appends what
    // the source gives; false when it gives nothing more.
    bool Refill();
    // FillToken's slow path: the token reaches the end of the buffer.
    const char* CompleteToken();
    // Replaces the token at the position, 64 KiB long or more, by one junk
    // byte, the last of the input.
    const char* StopAtOverlongToken();
    // The whole cell token at PtrFirst, which white space follows in memory;
    // returns its end.
    static const char* ReadWholeCell(const char* PtrFirst, bool BlnTolerant, TCell& Cell,
                                     double& DblValue);
    // Makes the buffer hold at least LngCapacity bytes.
    void Reserve(std::size_t LngCapacity);

    TByteSource& MbrSource;
    std::unique_ptr<char[]> MbrPtrBuffer;
    std::size_t MbrLngCapacity;
    const char* MbrPtrPos;
    const char* MbrPtrEnd;
    bool MbrBlnSourceDone = false;
    bool MbrBlnTolerant = false;
};
