#include "app/TScalarOverlay.h"

#include <cstdlib>
#include <new>
#include <string>

#include "app/TInterruptCleanup.h"
#include "grid/TError.h"
#include "io/TTokenizer.h"

namespace {

const char* const StgUsage = "Usage: pvxOverlay InputFile OutputFile Operation (x | /) Scalar";

// Thrown for the usage message, which ends the command with its own status.
struct TUsageError : TError {
    TUsageError() : TError(StgUsage) {}
};

// The whole argument as one number, read as a cell of a grid file is.
double ParseScalar(const std::string& StgText)
{
    double DblValue = 0.0;
    if (TTokenizer::ParseCell(StgText, DblValue) != TTokenizer::TCell::Ok)
        throw TError("Invalid scalar: " + StgText);
    return DblValue;
}

// Threads for the run: PVX_THREADS=1 runs single-threaded, for comparison.
unsigned ThreadsFromEnvironment()
{
    const char* PtrValue = std::getenv("PVX_THREADS");
    return PtrValue ? static_cast<unsigned>(std::strtoul(PtrValue, nullptr, 10)) : 0U;
}

}  // namespace

int TScalarOverlay::Main(int argc, const char* const* argv, std::ostream& Out)
{
    TInterruptCleanup::IgnoreWriteSignals();
    try {
        if (argc != 5)
            throw TUsageError();
        const double DblScalar = ParseScalar(argv[4]);
        Run(argv[1], argv[2], argv[3][0], DblScalar, ThreadsFromEnvironment());
        return 0;
    } catch (const TUsageError& Error) {
        Out << Error.what() << std::endl;
        return 2;
    } catch (const std::bad_alloc&) {
        Out << "Out of memory" << std::endl;
    } catch (const std::exception& Error) {
        Out << Error.what() << std::endl;
    } catch (...) {
        Out << "Unexpected failure" << std::endl;
    }
    return 1;
}
