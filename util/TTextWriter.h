#pragma once
// Buffered text output of numbers, through the one number formatter. Bound to
// a stream it passes its text on in large blocks; unbound it collects it.

#include <cstddef>
#include <memory>
#include <ostream>
#include <string_view>

#include "util/TNumberFormat.h"

class TTextWriter {
public:
    // Collects text in memory (see Text, Clear).
    TTextWriter();
    // Passes text on to the stream whenever the buffer fills and on Flush.
    explicit TTextWriter(std::ostream& Stream);
    // Passes on what is left; errors then are the stream's to show.
    ~TTextWriter();
    TTextWriter(const TTextWriter&) = delete;
    TTextWriter& operator=(const TTextWriter&) = delete;

    void Put(char ChrValue);
    void Put(std::string_view StgText);
    // Numbers with LngDigits significant digits at most (see TNumberFormat).
    void PutNumber(double DblValue, int LngDigits = TNumberFormat::DefaultDigits);
    // In plain decimal (TNumberFormat::WritePlain), right-aligned in a field
    // of at least LngWidth characters.
    void PutPlainNumber(double DblValue, std::size_t LngWidth, int LngDigits);
    void PutInteger(long LngValue);
    // Each value followed by ChrSeparator.
    void PutCells(const double* PtrValues, std::size_t LngCount, char ChrSeparator,
                  int LngDigits = TNumberFormat::DefaultDigits);
    void EndLine() { Put('\n'); }

    // Passes the buffer on to the stream and flushes the stream.
    void Flush();

    // The collected text (unbound writers).
    std::string_view Text() const;
    void Clear();

private:
    // PutCells with Format(value, where) writing each value.
    template <class TFormat>
    void PutEach(const double* PtrValues, std::size_t LngCount, char ChrSeparator, TFormat Format);
    // Where LngBytes more may be written; Advance then takes what was.
    char* Room(std::size_t LngBytes);
    void Advance(const char* PtrEnd);
    // Makes room for LngBytes more: passes the buffer on (bound) or grows it.
    void Reserve(std::size_t LngBytes);
    // Writes the buffer to the stream (bound writers) and empties it.
    void PassOn();

    std::ostream* MbrPtrStream = nullptr;
    std::unique_ptr<char[]> MbrPtrBuffer;
    std::size_t MbrLngSize = 0;
    std::size_t MbrLngCapacity = 0;
};
