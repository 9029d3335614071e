#include "app/TScalarOverlay.h"

#include <string>

#include "app/TCommandSkeleton.h"
#include "app/TProgress.h"
#include "util/TError.h"
#include "io/TTokenizer.h"

namespace {

const char* const StgUsage = "Usage: pvxOverlay InputFile OutputFile Operation (x | /) Scalar";

// The whole argument as one number, read as a cell of a grid file is.
double ParseScalar(const std::string& StgText)
{
    double DblValue = 0.0;
    if (TTokenizer::ParseCell(StgText, DblValue) != TTokenizer::TCell::Ok)
        throw TError("Invalid scalar: " + StgText);
    return DblValue;
}

}  // namespace

int TScalarOverlay::Main(int argc, const char* const* argv, std::ostream& Out)
{
    return TCommandSkeleton::Run({Out, ""}, [&] {
        if (argc != 5)
            throw TUsageError(StgUsage);
        const double DblScalar = ParseScalar(argv[4]);
        TProgress Progress(true);
        Run(argv[1], argv[2], argv[3][0], DblScalar, &Progress);
    });
}
