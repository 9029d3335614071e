#pragma once
// gzip data decompressed as it is read, in constant memory: a buffer to read
// through (std::istream In(&Buffer)) that takes its bytes from another one.
// Any number of gzip members one after the other read as one text, as
// gunzip reads them (`cat a.gz b.gz`, parallel writers). Bytes after a
// member that do not begin another one are corrupt data.
//
// Failures are thrown from the reads, as TGzipError: "Unable to read file
// NAME: the gzip data is corrupt" (a member that does not decompress, a wrong
// checksum or length, anything after a member that is not one), "Unable to
// read file NAME: the gzip data ends early" (the source ends inside a
// member), and "Unable to read file NAME" for a read error of the source. The
// toolkit's grid reader reads its stream's buffer directly, so these reach
// its caller as they are; a std::istream's own extractors turn them into
// badbit unless its exceptions() include badbit.

#include <cstddef>
#include <memory>
#include <streambuf>
#include <string>

#include "util/TError.h"

class TGzipError : public TFileError {
public:
    using TFileError::TFileError;
};

class TGzipReadBuffer : public std::streambuf {
public:
    // Source: the gzip data from its first byte; StgName names it in messages.
    TGzipReadBuffer(std::streambuf& Source, const std::string& StgName);
    ~TGzipReadBuffer() override;
    TGzipReadBuffer(const TGzipReadBuffer&) = delete;
    TGzipReadBuffer& operator=(const TGzipReadBuffer&) = delete;

    // Whether the bytes begin as gzip data does (0x1f 0x8b).
    static bool IsGzip(const char* PtrBytes, std::size_t LngCount);
    // The same for what the stream holds next, which is left unread. Where
    // the stream's buffer shows only one byte (a pipe that delivered one), the
    // first byte decides: no grid text begins with 0x1f.
    static bool IsGzip(std::istream& Stream);

protected:
    int_type underflow() override;

private:
    class TInflater;

    // Decompresses into the get area until it holds something or the data
    // ends; false at the end.
    bool Fill();
    // More compressed bytes from the source; false at its end.
    bool ReadSource();
    [[noreturn]] void Fail(const std::string& StgWhat) const;

    std::streambuf& MbrSource;
    std::string MbrStgName;
    std::unique_ptr<TInflater> MbrPtrInflater;
    std::unique_ptr<char[]> MbrPtrInput;
    std::unique_ptr<char[]> MbrPtrOutput;
    bool MbrBlnInMember = false;
    bool MbrBlnSourceEnded = false;
};
