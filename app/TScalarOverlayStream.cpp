// The command's streaming path: header, then the body in blocks.
#include <fstream>
#include <optional>

#include "app/TCommandOutput.h"
#include "app/TGridStream.h"
#include "app/TProgress.h"
#include "app/TScalarOverlay.h"
#include "util/TError.h"
#include "io/TGridReader.h"
#include "ops/TScalarOp.h"

namespace {

std::optional<TScalarOp::TKind> KindOf(char ChrOperation)
{
    if (ChrOperation == 'x')
        return TScalarOp::TKind::Multiply;
    if (ChrOperation == '/')
        return TScalarOp::TKind::Divide;
    return std::nullopt;
}

// The operation for a known character; for any other, checks the body
// first, since an unreadable input is reported before a wrong operation.
TGridStream::TBlockFunction OperationOrThrow(TGridReader& Reader, char ChrOperation,
                                             double DblScalar)
{
    const std::optional<TScalarOp::TKind> Kind = KindOf(ChrOperation);
    if (!Kind) {
        Reader.SkipRemainingCells();
        throw TError("Unknown operation");
    }
    return TGridStream::EachCell(TScalarOp(*Kind, DblScalar, Reader.Header().DblNoDataValue));
}

}  // namespace

void TScalarOverlay::Run(std::istream& Input, std::ostream& Output, char ChrOperation,
                         double DblScalar, unsigned LngThreads)
{
    TGridReader Reader(Input);
    const TGridStream::TBlockFunction Op = OperationOrThrow(Reader, ChrOperation, DblScalar);
    TGridStream::Write(Reader, Reader.Header(), Op, Output, LngThreads, nullptr);
}

void TScalarOverlay::Run(const std::string& StgInput, const std::string& StgOutput,
                         char ChrOperation, double DblScalar, unsigned LngThreads,
                         TProgress* PtrProgress)
{
    std::ifstream Input = TGridReader::OpenFile(StgInput);
    TGridReader Reader(Input, TGridDialect::Strict, StgInput);
    const TGridStream::TBlockFunction Op = OperationOrThrow(Reader, ChrOperation, DblScalar);
    std::optional<TCommandOutput> Output;
    try {
        Output.emplace(StgOutput, false, StgInput);
    } catch (const TFileError&) {
        // The input's own failures, found later, come first.
        Reader.SkipRemainingCells();
        throw;
    }
    if (PtrProgress)
        PtrProgress->Stage("writing " + StgOutput, Reader.CellCount());
    TGridStream::Write(Reader, Reader.Header(), Op, Output->Stream(), LngThreads,
                       PtrProgress);
    Output->Commit();
}
