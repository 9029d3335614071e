#pragma once
// Text compressed to gzip as it is written: a buffer to write through
// (std::ostream Out(&Buffer)) that hands gzip data to a target stream.
//
// The text is cut into chunks of MemberBytes, each compressed on its own
// into an independent gzip member (what gunzip, Python's gzip module and
// GDAL's /vsigzip/ read as one text), a chunk per thread at once
// (TSlices), the members written in order. A chunk ends only where the
// buffer fills and at Finish, never at a flush (the grid writer flushes
// after each block of rows), so the bytes written are the same on any number
// of threads. Memory: a chunk and its compressed form per thread.

#include <cstddef>
#include <memory>
#include <ostream>
#include <streambuf>
#include <vector>

class TGzipWriteBuffer : public std::streambuf {
public:
    // The uncompressed bytes of each member but the last.
    static constexpr std::size_t MemberBytes = std::size_t{4} << 20;

    // LngLevel as gzip's -1 (fastest) to -9 (smallest); anything else throws
    // TError("the gzip level must be 1 to 9").
    explicit TGzipWriteBuffer(std::ostream& Target, int LngLevel = 6);
    // Text not finished is dropped.
    ~TGzipWriteBuffer() override;
    TGzipWriteBuffer(const TGzipWriteBuffer&) = delete;
    TGzipWriteBuffer& operator=(const TGzipWriteBuffer&) = delete;

    // Compresses and writes what is left, then flushes the target, which
    // then holds complete gzip data (one empty member for no text at all).
    // Nothing can be written afterwards. Write failures are the target's:
    // its state tells them.
    void Finish();

protected:
    int_type overflow(int_type LngChar) override;
    // A flush ends no member: the text waits for its chunk to fill.
    int sync() override { return 0; }

private:
    // Compresses the text held, a chunk per thread, and writes the members.
    void WriteMembers();

    std::ostream& MbrTarget;
    int MbrLngLevel;
    std::size_t MbrLngChunks;
    std::unique_ptr<char[]> MbrPtrText;
    std::vector<std::vector<char>> MbrVecMembers;
    bool MbrBlnWritten = false;
};
