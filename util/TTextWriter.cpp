#include "util/TTextWriter.h"

#include <algorithm>
#include <cstring>

namespace {

// Large enough that a stream sees few, big writes.
constexpr std::size_t StreamBufferSize = 256 * 1024;
constexpr std::size_t TextBufferSize = 4 * 1024;

}  // namespace

TTextWriter::TTextWriter()
    : MbrPtrBuffer(new char[TextBufferSize]), MbrLngCapacity(TextBufferSize)
{
}

TTextWriter::TTextWriter(std::ostream& Stream)
    : MbrPtrStream(&Stream), MbrPtrBuffer(new char[StreamBufferSize]),
      MbrLngCapacity(StreamBufferSize)
{
}

TTextWriter::~TTextWriter()
{
    try {
        if (MbrPtrStream)
            PassOn();
    } catch (...) {
        // A stream that throws on failure: the failure shows in its state.
    }
}

void TTextWriter::Put(char ChrValue)
{
    *Room(1) = ChrValue;
    ++MbrLngSize;
}

void TTextWriter::Put(std::string_view StgText)
{
    if (MbrPtrStream && StgText.size() > MbrLngCapacity) {
        PassOn();
        MbrPtrStream->write(StgText.data(), static_cast<std::streamsize>(StgText.size()));
        return;
    }
    std::memcpy(Room(StgText.size()), StgText.data(), StgText.size());
    MbrLngSize += StgText.size();
}

void TTextWriter::PutNumber(double DblValue, int LngDigits)
{
    Advance(TNumberFormat::Write(DblValue, Room(TNumberFormat::MaxLength), LngDigits));
}

void TTextWriter::PutPlainNumber(double DblValue, std::size_t LngWidth, int LngDigits)
{
    char Text[TNumberFormat::MaxLength];
    const auto LngLength =
        static_cast<std::size_t>(TNumberFormat::WritePlain(DblValue, Text, LngDigits) - Text);
    for (std::size_t i = LngLength; i < LngWidth; ++i)
        Put(' ');
    Put(std::string_view(Text, LngLength));
}

void TTextWriter::PutInteger(long LngValue)
{
    Advance(TNumberFormat::WriteInteger(LngValue, Room(TNumberFormat::MaxLength)));
}

template <class TFormat>
void TTextWriter::PutEach(const double* PtrValues, std::size_t LngCount, char ChrSeparator,
                          TFormat Format)
{
    constexpr std::size_t LngCellRoom = TNumberFormat::MaxLength + 1;
    for (std::size_t i = 0; i < LngCount; ++i) {
        char* PtrEnd = Format(PtrValues[i], Room(LngCellRoom));
        *PtrEnd++ = ChrSeparator;
        Advance(PtrEnd);
    }
}

void TTextWriter::PutCells(const double* PtrValues, std::size_t LngCount, char ChrSeparator,
                           int LngDigits)
{
    // The usual count through the formatter's own code for it.
    if (LngDigits == TNumberFormat::DefaultDigits)
        PutEach(PtrValues, LngCount, ChrSeparator, [](double DblValue, char* PtrOut) {
            return TNumberFormat::Write(DblValue, PtrOut);
        });
    else
        PutEach(PtrValues, LngCount, ChrSeparator, [LngDigits](double DblValue, char* PtrOut) {
            return TNumberFormat::Write(DblValue, PtrOut, LngDigits);
        });
}

void TTextWriter::Flush()
{
    if (!MbrPtrStream)
        return;
    PassOn();
    MbrPtrStream->flush();
}

std::string_view TTextWriter::Text() const
{
    return std::string_view(MbrPtrBuffer.get(), MbrLngSize);
}

void TTextWriter::Clear()
{
    MbrLngSize = 0;
}

char* TTextWriter::Room(std::size_t LngBytes)
{
    if (MbrLngCapacity - MbrLngSize < LngBytes)
        Reserve(LngBytes);
    return MbrPtrBuffer.get() + MbrLngSize;
}

void TTextWriter::Advance(const char* PtrEnd)
{
    MbrLngSize = static_cast<std::size_t>(PtrEnd - MbrPtrBuffer.get());
}

void TTextWriter::Reserve(std::size_t LngBytes)
{
    if (MbrPtrStream) {
        PassOn();
        return;
    }
    const std::size_t LngCapacity = std::max(2 * MbrLngCapacity, MbrLngSize + LngBytes);
    std::unique_ptr<char[]> PtrBuffer(new char[LngCapacity]);
    std::memcpy(PtrBuffer.get(), MbrPtrBuffer.get(), MbrLngSize);
    MbrPtrBuffer = std::move(PtrBuffer);
    MbrLngCapacity = LngCapacity;
}

void TTextWriter::PassOn()
{
    MbrPtrStream->write(MbrPtrBuffer.get(), static_cast<std::streamsize>(MbrLngSize));
    MbrLngSize = 0;
}
