#include "app/map/TMapInput.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <vector>

#include "util/TError.h"
#include "io/TGridReader.h"

namespace {

// A file without a name in the temporary directory, removed by the system
// when closed, whatever ends the process.
int NamelessFile()
{
    const char* PtrDir = std::getenv("TMPDIR");
    const std::string StgDir = PtrDir && *PtrDir ? PtrDir : "/tmp";
    int LngFd = open(StgDir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (LngFd < 0) {
        std::string StgTemplate = StgDir + "/.pvx-XXXXXX";
        std::vector<char> VecName(StgTemplate.begin(), StgTemplate.end());
        VecName.push_back('\0');
        LngFd = mkostemp(VecName.data(), O_CLOEXEC);
        if (LngFd >= 0)
            unlink(VecName.data());
    }
    if (LngFd < 0)
        throw TFileError("Unable to open file " + StgDir);
    return LngFd;
}

}  // namespace

// Standard input's bytes passed on, and copied to a nameless file while
// recording.
class TMapInput::TRecorder : public std::streambuf {
public:
    TRecorder() : MbrSource(*std::cin.rdbuf()) {}
    ~TRecorder() override
    {
        if (MbrLngFd >= 0)
            close(MbrLngFd);
    }

    void StopRecording() { MbrBlnRecording = false; }

    // The recorded bytes and the rest of standard input, in the file.
    std::string Completed()
    {
        if (MbrBlnRecording) {
            while (underflow() != traits_type::eof())
                setg(MbrArrBuffer, MbrArrBuffer, MbrArrBuffer);
            MbrBlnRecording = false;
        }
        return "/proc/self/fd/" + std::to_string(MbrLngFd);
    }

protected:
    int_type underflow() override
    {
        const std::streamsize LngRead = MbrSource.sgetn(MbrArrBuffer, sizeof MbrArrBuffer);
        if (LngRead <= 0)
            return traits_type::eof();
        if (MbrBlnRecording)
            Record(static_cast<std::size_t>(LngRead));
        setg(MbrArrBuffer, MbrArrBuffer, MbrArrBuffer + LngRead);
        return traits_type::to_int_type(MbrArrBuffer[0]);
    }

private:
    void Record(std::size_t LngCount)
    {
        if (MbrLngFd < 0)
            MbrLngFd = NamelessFile();
        for (std::size_t LngDone = 0; LngDone < LngCount;) {
            const ssize_t LngWritten = write(MbrLngFd, MbrArrBuffer + LngDone, LngCount - LngDone);
            if (LngWritten <= 0)
                throw TFileError("Unable to write file " + std::string("-"));
            LngDone += static_cast<std::size_t>(LngWritten);
        }
    }

    std::streambuf& MbrSource;
    bool MbrBlnRecording = true;
    int MbrLngFd = -1;
    char MbrArrBuffer[1 << 16];
};

TMapInput::TMapInput(const std::string& StgName) : MbrStgName(StgName)
{
    if (StgName != "-") {
        MbrFile.emplace(TGridReader::OpenFile(StgName));
        return;
    }
    MbrPtrRecorder = std::make_unique<TRecorder>();
    MbrPtrRecorded = std::make_unique<std::istream>(MbrPtrRecorder.get());
}

TMapInput::~TMapInput() = default;

std::istream& TMapInput::Stream()
{
    return MbrFile ? *MbrFile : *MbrPtrRecorded;
}

std::uint64_t TMapInput::Size()
{
    if (!MbrFile)
        return 0;
    MbrFile->seekg(0, std::ios::end);
    const std::streamoff LngSize = MbrFile->tellg();
    MbrFile->seekg(0, std::ios::beg);
    return LngSize > 0 ? static_cast<std::uint64_t>(LngSize) : 0;
}

void TMapInput::ReadOnce()
{
    if (MbrPtrRecorder)
        MbrPtrRecorder->StopRecording();
}

std::ifstream TMapInput::ReadAgain()
{
    return TGridReader::OpenFile(MbrPtrRecorder ? MbrPtrRecorder->Completed() : MbrStgName);
}
