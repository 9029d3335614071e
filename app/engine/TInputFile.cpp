#include "app/engine/TInputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
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

// An input's bytes passed on, and copied to a nameless file while
// recording.
class TInputFile::TRecorder : public std::streambuf {
public:
    explicit TRecorder(std::streambuf& Source) : MbrSource(Source) {}
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

TInputFile::TInputFile(const std::string& StgName) : MbrStgName(StgName)
{
    if (StgName != "-") {
        MbrFile.emplace(TGridReader::OpenFile(StgName));
        if (IsRegularFile(StgName))
            return;
    }
    MbrPtrRecorder = std::make_unique<TRecorder>(MbrFile ? *MbrFile->rdbuf() : *std::cin.rdbuf());
    MbrPtrRecorded = std::make_unique<std::istream>(MbrPtrRecorder.get());
}

TInputFile::~TInputFile() = default;

bool TInputFile::IsRegularFile(const std::string& StgName)
{
    struct stat Status;
    return stat(StgName.c_str(), &Status) == 0 && S_ISREG(Status.st_mode);
}

std::string TInputFile::Shown() const
{
    return MbrStgName == "-" ? "standard input" : MbrStgName;
}

std::istream& TInputFile::Stream()
{
    return MbrPtrRecorded ? *MbrPtrRecorded : *MbrFile;
}

void TInputFile::ReadOnce()
{
    if (MbrPtrRecorder)
        MbrPtrRecorder->StopRecording();
}

std::ifstream TInputFile::ReadAgain()
{
    return TGridReader::OpenFile(MbrPtrRecorder ? MbrPtrRecorder->Completed() : MbrStgName);
}
