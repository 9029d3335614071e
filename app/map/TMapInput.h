#pragma once
// An input grid of pvxMap by name: a file, or standard input for "-".
//
// A grid whose header names no no-data value gets one its cells do not
// hold, so a streamed command reads it twice: first for that value, then to
// write. A file is simply opened again; standard input is recorded while the
// header is read and, when a second reading is asked for, the rest is kept
// with it in a temporary file that has no name, so nothing is left behind.

#include <cstdint>
#include <fstream>
#include <istream>
#include <memory>
#include <optional>
#include <string>

class TMapInput {
public:
    // Throws TFileError("Unable to open file " + StgName).
    explicit TMapInput(const std::string& StgName);
    ~TMapInput();
    TMapInput(const TMapInput&) = delete;
    TMapInput& operator=(const TMapInput&) = delete;

    std::istream& Stream();
    // The size in bytes, 0 when unknown (standard input).
    std::uint64_t Size();

    // The input will not be read again: standard input stops being recorded.
    void ReadOnce();
    // A new reading of the whole input from its start. On standard input,
    // Stream() is not to be read any further once this is called.
    std::ifstream ReadAgain();

private:
    class TRecorder;

    std::string MbrStgName;
    std::optional<std::ifstream> MbrFile;
    std::unique_ptr<TRecorder> MbrPtrRecorder;
    std::unique_ptr<std::istream> MbrPtrRecorded;
};
