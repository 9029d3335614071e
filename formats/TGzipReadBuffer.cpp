#include "formats/TGzipReadBuffer.h"

#include <zlib.h>

#include <ios>
#include <istream>
#include <new>

namespace {

constexpr std::size_t InputBytes = std::size_t{1} << 16;
constexpr std::size_t OutputBytes = std::size_t{1} << 18;
// zlib's window bits for gzip members only (15, plus 16 for the gzip
// wrapper): a bare zlib or deflate stream is corrupt data here.
constexpr int GzipWindowBits = 15 + 16;

}  // namespace

// One z_stream, reset for each member.
class TGzipReadBuffer::TInflater {
public:
    TInflater()
    {
        if (inflateInit2(&MbrStream, GzipWindowBits) != Z_OK)
            throw std::bad_alloc();
    }
    ~TInflater() { inflateEnd(&MbrStream); }
    TInflater(const TInflater&) = delete;
    TInflater& operator=(const TInflater&) = delete;

    z_stream& Stream() { return MbrStream; }

private:
    z_stream MbrStream = {};
};

TGzipReadBuffer::TGzipReadBuffer(std::streambuf& Source, const std::string& StgName)
    : MbrSource(Source),
      MbrStgName(StgName),
      MbrPtrInflater(std::make_unique<TInflater>()),
      MbrPtrInput(std::make_unique<char[]>(InputBytes)),
      MbrPtrOutput(std::make_unique<char[]>(OutputBytes))
{
}

TGzipReadBuffer::~TGzipReadBuffer() = default;

bool TGzipReadBuffer::IsGzip(const char* PtrBytes, std::size_t LngCount)
{
    return LngCount >= 2 && static_cast<unsigned char>(PtrBytes[0]) == 0x1f
           && static_cast<unsigned char>(PtrBytes[1]) == 0x8b;
}

bool TGzipReadBuffer::IsGzip(std::istream& Stream)
{
    std::streambuf* PtrBuffer = Stream.good() ? Stream.rdbuf() : nullptr;
    if (!PtrBuffer || PtrBuffer->sgetc() != 0x1f)
        return false;
    if (PtrBuffer->in_avail() < 2)
        return true;
    PtrBuffer->sbumpc();
    const int_type LngSecond = PtrBuffer->sgetc();
    if (traits_type::eq_int_type(PtrBuffer->sungetc(), traits_type::eof()))
        PtrBuffer->sputbackc(static_cast<char>(0x1f));
    return LngSecond == 0x8b;
}

TGzipReadBuffer::int_type TGzipReadBuffer::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    if (!Fill())
        return traits_type::eof();
    return traits_type::to_int_type(*gptr());
}

bool TGzipReadBuffer::Fill()
{
    z_stream& Stream = MbrPtrInflater->Stream();
    for (;;) {
        if (!MbrBlnInMember) {
            // Between members: the end of the source ends the data, anything
            // else begins the next member.
            if (Stream.avail_in == 0 && !ReadSource())
                return false;
            inflateReset(&Stream);
            MbrBlnInMember = true;
        }
        if (Stream.avail_in == 0 && !ReadSource())
            Fail("the gzip data ends early");
        Stream.next_out = reinterpret_cast<Bytef*>(MbrPtrOutput.get());
        Stream.avail_out = static_cast<uInt>(OutputBytes);
        const int LngStatus = inflate(&Stream, Z_NO_FLUSH);
        if (LngStatus == Z_STREAM_END)
            MbrBlnInMember = false;
        else if (LngStatus == Z_MEM_ERROR)
            throw std::bad_alloc();
        else if (LngStatus != Z_OK && LngStatus != Z_BUF_ERROR)
            Fail("the gzip data is corrupt");
        const std::size_t LngMade = OutputBytes - Stream.avail_out;
        if (LngMade > 0) {
            setg(MbrPtrOutput.get(), MbrPtrOutput.get(), MbrPtrOutput.get() + LngMade);
            return true;
        }
    }
}

bool TGzipReadBuffer::ReadSource()
{
    if (MbrBlnSourceEnded)
        return false;
    std::streamsize LngRead = 0;
    try {
        LngRead = MbrSource.sgetn(MbrPtrInput.get(), static_cast<std::streamsize>(InputBytes));
    } catch (const std::ios_base::failure&) {
        throw TGzipError("Unable to read file " + MbrStgName);
    }
    if (LngRead <= 0) {
        MbrBlnSourceEnded = true;
        return false;
    }
    z_stream& Stream = MbrPtrInflater->Stream();
    Stream.next_in = reinterpret_cast<Bytef*>(MbrPtrInput.get());
    Stream.avail_in = static_cast<uInt>(LngRead);
    return true;
}

void TGzipReadBuffer::Fail(const std::string& StgWhat) const
{
    throw TGzipError("Unable to read file " + MbrStgName + ": " + StgWhat);
}
