#ifdef PVX_WITH_PNG

#include "formats/TPngWriter.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <cstdio>
#include <string>

#include "util/TError.h"

struct TPngWriter::TState {
    png_structp PtrPng = nullptr;
    png_infop PtrInfo = nullptr;
    std::ostream* PtrStream = nullptr;
    // libpng's message, kept where no allocation can fail.
    char ArrError[200] = "";

    ~TState()
    {
        if (PtrPng)
            png_destroy_write_struct(&PtrPng, &PtrInfo);
    }
};

namespace {

using TState = TPngWriter::TState;

[[noreturn]] void OnError(png_structp PtrPng, png_const_charp PtrMessage)
{
    auto* PtrState = static_cast<TState*>(png_get_error_ptr(PtrPng));
    std::snprintf(PtrState->ArrError, sizeof PtrState->ArrError, "%s", PtrMessage);
    png_longjmp(PtrPng, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// A stream that fails keeps its state for the caller; one that throws must
// not throw through libpng, so its failure becomes libpng's.
void OnWrite(png_structp PtrPng, png_bytep PtrData, png_size_t LngSize)
{
    auto* PtrState = static_cast<TState*>(png_get_io_ptr(PtrPng));
    try {
        PtrState->PtrStream->write(reinterpret_cast<const char*>(PtrData),
                                   static_cast<std::streamsize>(LngSize));
    } catch (...) {
        png_error(PtrPng, "the stream failed");
    }
}

void OnFlush(png_structp) {}

// Runs a step of libpng calls; a failure of libpng among them throws. Step
// leaves nothing to destroy behind it, as the jump skips destructors.
template <class TStep>
void Guarded(TState& State, TStep Step)
{
    if (setjmp(png_jmpbuf(State.PtrPng)))
        throw TError(std::string("Unable to write the PNG image: ") + State.ArrError);
    Step();
}

}  // namespace

TPngWriter::TPngWriter(std::ostream& Stream, long LngWidth, long LngHeight)
    : MbrPtrState(new TState), MbrLngWidth(LngWidth), MbrLngHeight(LngHeight)
{
    const long LngLimit = 0x7fffffffL;
    if (LngWidth < 1 || LngHeight < 1 || LngWidth > LngLimit || LngHeight > LngLimit)
        throw TError("A PNG image is 1 to 2147483647 pixels wide and high");
    TState& State = *MbrPtrState;
    State.PtrStream = &Stream;
    State.PtrPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, &State, OnError, OnWarning);
    if (State.PtrPng)
        State.PtrInfo = png_create_info_struct(State.PtrPng);
    if (!State.PtrInfo)
        throw TError("Unable to write the PNG image: out of memory");
    Guarded(State, [&] {
        png_set_write_fn(State.PtrPng, &State, OnWrite, OnFlush);
        // Quick-look maps: each row against the one above, run-length
        // deflate at its fastest; a seventh of the time of libpng's default
        // for a file a quarter larger.
        png_set_compression_level(State.PtrPng, 1);
        png_set_compression_strategy(State.PtrPng, Z_RLE);
        png_set_filter(State.PtrPng, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
        png_set_IHDR(State.PtrPng, State.PtrInfo, static_cast<png_uint_32>(LngWidth),
                     static_cast<png_uint_32>(LngHeight), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
        png_write_info(State.PtrPng, State.PtrInfo);
    });
}

TPngWriter::~TPngWriter() = default;

void TPngWriter::WriteRow(const std::uint8_t* PtrRgba)
{
    if (MbrLngRows == MbrLngHeight)
        throw TError("The PNG image has only " + std::to_string(MbrLngHeight) + " rows");
    TState& State = *MbrPtrState;
    Guarded(State, [&] { png_write_row(State.PtrPng, PtrRgba); });
    ++MbrLngRows;
}

void TPngWriter::Finish()
{
    if (MbrLngRows != MbrLngHeight)
        throw TError("The PNG image has " + std::to_string(MbrLngRows) + " of its "
                     + std::to_string(MbrLngHeight) + " rows");
    TState& State = *MbrPtrState;
    Guarded(State, [&] { png_write_end(State.PtrPng, State.PtrInfo); });
}

#endif
