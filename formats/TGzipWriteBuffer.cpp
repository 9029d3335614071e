#include "formats/TGzipWriteBuffer.h"

#include <zlib.h>

#include <algorithm>
#include <new>

#include "util/TError.h"
#include "util/TSlices.h"

namespace {

// zlib's window bits with the gzip wrapper (its header carries no name and
// no time, so equal text gives equal bytes).
constexpr int GzipWindowBits = 15 + 16;
constexpr int MemoryLevel = 8;

// Text as one complete gzip member, into Member (resized to fit).
void CompressMember(const char* PtrText, std::size_t LngBytes, int LngLevel,
                    std::vector<char>& Member)
{
    z_stream Stream = {};
    if (deflateInit2(&Stream, LngLevel, Z_DEFLATED, GzipWindowBits, MemoryLevel, Z_DEFAULT_STRATEGY)
        != Z_OK)
        throw std::bad_alloc();
    // Within the bound, one call with Z_FINISH completes the member.
    Member.resize(deflateBound(&Stream, static_cast<uLong>(LngBytes)));
    Stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(PtrText));
    Stream.avail_in = static_cast<uInt>(LngBytes);
    Stream.next_out = reinterpret_cast<Bytef*>(Member.data());
    Stream.avail_out = static_cast<uInt>(Member.size());
    const int LngStatus = deflate(&Stream, Z_FINISH);
    Member.resize(Member.size() - Stream.avail_out);
    deflateEnd(&Stream);
    if (LngStatus != Z_STREAM_END)
        throw TError("the gzip compression failed");
}

}  // namespace

TGzipWriteBuffer::TGzipWriteBuffer(std::ostream& Target, int LngLevel)
    : MbrTarget(Target), MbrLngLevel(LngLevel), MbrLngChunks(TSlices::Threads())
{
    if (LngLevel < 1 || LngLevel > 9)
        throw TError("the gzip level must be 1 to 9");
    MbrPtrText = std::make_unique<char[]>(MbrLngChunks * MemberBytes);
    MbrVecMembers.resize(MbrLngChunks);
    setp(MbrPtrText.get(), MbrPtrText.get() + MbrLngChunks * MemberBytes);
}

TGzipWriteBuffer::~TGzipWriteBuffer() = default;

TGzipWriteBuffer::int_type TGzipWriteBuffer::overflow(int_type LngChar)
{
    if (!pbase())
        return traits_type::eof();
    WriteMembers();
    if (traits_type::eq_int_type(LngChar, traits_type::eof()))
        return traits_type::not_eof(LngChar);
    *pptr() = traits_type::to_char_type(LngChar);
    pbump(1);
    return LngChar;
}

void TGzipWriteBuffer::Finish()
{
    if (!pbase())
        return;
    if (pptr() > pbase() || !MbrBlnWritten)
        WriteMembers();
    setp(nullptr, nullptr);
    MbrPtrText.reset();
    MbrVecMembers.clear();
    MbrTarget.flush();
}

void TGzipWriteBuffer::WriteMembers()
{
    const auto LngBytes = static_cast<std::size_t>(pptr() - pbase());
    const std::size_t LngMembers =
        std::max<std::size_t>(1, (LngBytes + MemberBytes - 1) / MemberBytes);
    TSlices::Run(LngMembers, 1, [&](std::size_t LngFrom, std::size_t LngTo) {
        for (std::size_t LngMember = LngFrom; LngMember < LngTo; ++LngMember) {
            const std::size_t LngStart = LngMember * MemberBytes;
            CompressMember(pbase() + LngStart, std::min(MemberBytes, LngBytes - LngStart),
                           MbrLngLevel, MbrVecMembers[LngMember]);
        }
    });
    for (std::size_t LngMember = 0; LngMember < LngMembers; ++LngMember)
        MbrTarget.write(MbrVecMembers[LngMember].data(),
                        static_cast<std::streamsize>(MbrVecMembers[LngMember].size()));
    MbrBlnWritten = true;
    setp(MbrPtrText.get(), MbrPtrText.get() + MbrLngChunks * MemberBytes);
}
