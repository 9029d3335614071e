#pragma once
// The one tokenizer and number reader of the toolkit, shared by every reader.
//
// Input is a sequence of tokens separated by white space (space, tab, CR, LF,
// vertical tab, form feed). Header values are read as stream extraction reads
// them: the longest prefix that is a number, the rest of the token staying for
// the next read. Cell values must be whole tokens.

#include <cstddef>
#include <memory>
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

    // Bytes taken from the source that no read has consumed yet.
    std::size_t Pending() const;

private:
    // Makes sure a whole token (or the end of the input) lies in the buffer
    // after the current position, which skips white space; false at the end.
    bool FillToken();

    TByteSource& MbrSource;
    std::unique_ptr<char[]> MbrPtrBuffer;
    std::size_t MbrLngCapacity;
    const char* MbrPtrPos;
    const char* MbrPtrEnd;
    bool MbrBlnSourceDone = false;
};
