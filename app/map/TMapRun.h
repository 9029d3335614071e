#pragma once
// What the pvxMap commands share for one run: grids opened in the run's
// dialect ("-" standard input), the no-data value of the outputs, grids
// written through the streaming engine (each with its input's sidecar, all
// finished before any is put in place), text on standard output, and the
// progress line.

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "app/TProgress.h"
#include "app/engine/TGridOutput.h"
#include "app/engine/TRowEngine.h"
#include "app/engine/TRowSource.h"
#include "io/TGridDialect.h"

class TMapArguments;

class TMapRun {
public:
    using TSourcePtr = std::unique_ptr<TRowSource>;

    explicit TMapRun(const TMapArguments& Args);
    ~TMapRun();

    // A grid read once; BlnAgain for one that a later run reads again.
    TSourcePtr Open(const std::string& StgName, bool BlnAgain = false);
    std::vector<TSourcePtr> OpenAll(const std::vector<std::string>& VecNames);
    static std::vector<TRowSource*> Raw(const std::vector<TSourcePtr>& VecSources);

    // The NODATA_value of the outputs: --nodata, else First's. A grid
    // without one gets a value none of its cells holds, as the toolkit's
    // loader gives it: its cells are read for it, then it starts again.
    double OutputNoData(TRowSource& First);

    // Computes a grid of Frame with Job over the inputs into StgName, in
    // the format its name or --format asks for, with CrsOf's coordinate
    // system, and finishes it; Commit puts it in place. A GeoTIFF whose type
    // changed data cells says how many on standard error.
    void WriteGrid(const std::string& StgName, const TRowSource& CrsOf, const TGridFrame& Frame,
                   double DblNoData, const std::vector<TRowSource*>& VecInputs, const TRowJob& Job);
    // The same with the cells from Fill, which hands them all to the
    // consumer it is given, updating the progress line.
    using TFill = std::function<void(TRowConsumer& Consumer, TProgress* PtrProgress)>;
    void WriteGrid(const std::string& StgName, const TGridCrs& Crs, const TGridFrame& Frame, double DblNoData,
                   const TFill& Fill);
    // A grid output opened for cells given by the command itself, and
    // finished once they all were: it then holds nothing but its name until
    // Commit, so that a run may write thousands.
    TGridOutput& OpenGrid(const std::string& StgName, const TGridCrs& Crs, const TGridFrame& Frame, double DblNoData);
    void FinishGrid(TGridOutput& Output);
    // Runs Job over the inputs into Consumer (statistics, text), the
    // progress line showing StgStage.
    void Scan(const std::vector<TRowSource*>& VecInputs, const TRowEngine::TOutputShape& Shape,
              const TRowJob& Job, TRowConsumer& Consumer, const std::string& StgStage);
    // Puts every grid written in place, once the command has succeeded,
    // then prints the lines given to AfterCommit, one a line.
    void Commit();
    void AfterCommit(const std::string& StgLine);

    // Standard output for text; FinishText checks that it was written.
    std::ostream& Text();
    void FinishText();

private:
    // Sources read for the last time let go of what a second reading needs.
    void LastReading(const std::vector<TRowSource*>& VecInputs);

    TGridDialect MbrDialect;
    int MbrLngBand;
    TGridOutput::TSettings MbrOutputSettings;
    std::optional<double> MbrNoData;
    TProgress MbrProgress;
    std::vector<std::unique_ptr<TGridOutput>> MbrVecOutputs;
    std::set<const TRowSource*> MbrSetReadAgain;
    std::vector<std::string> MbrVecAfterCommit;
};
