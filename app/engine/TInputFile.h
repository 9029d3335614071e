#pragma once
// An input of a command by name: a file, or standard input for "-".
//
// Some runs read an input more than once (a grid without a NODATA_value
// line, whose cells decide the no-data value; a grid in several windows of a
// series). A regular file is simply opened again. Anything else (standard
// input, a FIFO, a process substitution) can be read once only, so it is
// recorded while it is read; when a second reading is asked for, the rest is
// kept with it in a temporary file that has no name, so nothing is left
// behind.

#include <cstdint>
#include <fstream>
#include <istream>
#include <memory>
#include <optional>
#include <string>

class TInputFile {
public:
    // Throws TFileError("Unable to open file " + StgName).
    explicit TInputFile(const std::string& StgName);
    ~TInputFile();
    TInputFile(const TInputFile&) = delete;
    TInputFile& operator=(const TInputFile&) = delete;

    const std::string& Name() const { return MbrStgName; }
    // The name as messages show it: "standard input" for "-".
    std::string Shown() const;
    std::istream& Stream();
    // False for what arrives as it is written (a pipe, a terminal).
    bool Regular() const { return !MbrPtrRecorder; }

    // Whether the name is a regular file (a link to one included), which can
    // be read again, as opposed to a pipe, a terminal or a device.
    static bool IsRegularFile(const std::string& StgName);

    // The input will not be read again: recording stops.
    void ReadOnce();
    // A new reading of the whole input from its start, as often as wanted.
    // Stream() is not to be read any further once this is called.
    std::ifstream ReadAgain();

private:
    class TRecorder;

    std::string MbrStgName;
    std::optional<std::ifstream> MbrFile;
    std::unique_ptr<TRecorder> MbrPtrRecorder;
    std::unique_ptr<std::istream> MbrPtrRecorded;
};
