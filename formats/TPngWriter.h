#pragma once
// A PNG image written through libpng a row at a time, top row first: 8-bit
// RGBA to a std::ostream (a command's protected output file among them),
// whose own state tells whether the bytes reached it. libpng's failures
// throw TError. Built where libpng is found (PVX_WITH_PNG).

#include <cstdint>
#include <memory>
#include <ostream>

class TPngWriter {
public:
    // Writes the header. Throws TError for a width or height outside 1 to
    // 2^31 - 1 (PNG's limits).
    TPngWriter(std::ostream& Stream, long LngWidth, long LngHeight);
    ~TPngWriter();
    TPngWriter(const TPngWriter&) = delete;
    TPngWriter& operator=(const TPngWriter&) = delete;

    long Width() const { return MbrLngWidth; }
    long Height() const { return MbrLngHeight; }

    // The next row: Width() pixels of 4 bytes (R, G, B, A). Throws TError
    // past the last row.
    void WriteRow(const std::uint8_t* PtrRgba);
    // Ends the image after its last row. Throws TError when rows are
    // missing.
    void Finish();

    // libpng's structures, kept out of this header.
    struct TState;

private:
    std::unique_ptr<TState> MbrPtrState;
    long MbrLngWidth;
    long MbrLngHeight;
    long MbrLngRows = 0;
};
