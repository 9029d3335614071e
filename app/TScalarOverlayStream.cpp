// The command's streaming path: the header, then the rows through the
// engine, each cell as TMapTools::Multiply or Divide gives it.
#include <optional>

#include "app/TCommandOutput.h"
#include "app/TProgress.h"
#include "app/TScalarOverlay.h"
#include "app/engine/TAsciiSink.h"
#include "app/engine/TAsciiSource.h"
#include "app/engine/TCellJob.h"
#include "app/engine/TRowEngine.h"
#include "ops/TScalarOp.h"
#include "util/TError.h"

namespace {

// The toolkit's reading: the strict header, and only a cell equal to the
// no-data value is no data.
const TAsciiSource::TRules Rules{TGridDialect::Strict, false, false};

// The operation for a known character; for any other, checks the body
// first, since an unreadable input is reported before a wrong operation.
TScalarOp OperationOrThrow(TAsciiSource& Source, char ChrOperation, double DblScalar)
{
    const std::optional<TScalarOp::TKind> Kind = TScalarOp::KindOf(std::string(1, ChrOperation));
    if (!Kind) {
        Source.SkipRemainingCells();
        throw TError("Unknown operation");
    }
    return TScalarOp(*Kind, DblScalar, Source.Header().DblNoDataValue);
}

// Header as read, then every row scaled; a result that equals the no-data
// value is no data, as in the toolkit.
void Scale(TAsciiSource& Source, const TScalarOp& Op, std::ostream& Output, TProgress* PtrProgress)
{
    TAsciiSink Sink(Output, Source.Header(), 15, false);
    const TGridFrame& Frame = Source.Frame();
    if (PtrProgress)
        PtrProgress->Stage("writing", static_cast<std::uint64_t>(Frame.LngRows) * static_cast<std::uint64_t>(Frame.LngCols));
    TRowEngine::Run({&Source}, {Frame.LngCols, Frame.LngRows},
                    TCellJob::OnData([Op](double DblValue) { return Op.Apply(DblValue); }), Sink,
                    PtrProgress);
    Output.flush();
}

}  // namespace

void TScalarOverlay::Run(std::istream& Input, std::ostream& Output, char ChrOperation, double DblScalar)
{
    TAsciiSource Source(Input, "", Rules);
    const TScalarOp Op = OperationOrThrow(Source, ChrOperation, DblScalar);
    Scale(Source, Op, Output, nullptr);
}

void TScalarOverlay::Run(const std::string& StgInput, const std::string& StgOutput,
                         char ChrOperation, double DblScalar, TProgress* PtrProgress)
{
    TAsciiSource Source(StgInput, Rules);
    Source.ReadOnce();
    const TScalarOp Op = OperationOrThrow(Source, ChrOperation, DblScalar);
    std::optional<TCommandOutput> Output;
    try {
        Output.emplace(StgOutput, true, TSidecar::OfGrid(StgInput));
    } catch (const TFileError&) {
        // The input's own failures, found later, come first.
        Source.SkipRemainingCells();
        throw;
    }
    Scale(Source, Op, Output->Stream(), PtrProgress);
    Output->Commit();
}
