#pragma once
// What the pvxMap handlers share for one run: grids read in the run's
// dialect ("-" standard input), grid outputs written as the command skeleton
// writes them (each with its sidecar, all finished before any is put in
// place), text on standard output, and the progress line.

#include <fstream>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/TGridStream.h"
#include "app/TProgress.h"
#include "grid/TMap.h"
#include "io/TGridDialect.h"
#include "io/TGridHeader.h"

class TMapArguments;

class TMapRun {
public:
    using TMapPtr = std::unique_ptr<TMap>;
    // An output grid: the map, its name, and the input whose sidecar it gets.
    struct TGridOut {
        const TMap* PtrMap;
        std::string StgName;
        std::string StgSidecarOf;
    };

    explicit TMapRun(const TMapArguments& Args);

    TMapPtr Load(const std::string& StgName);
    std::vector<TMapPtr> LoadAll(const std::vector<std::string>& VecNames);
    static std::vector<TMap*> Raw(const std::vector<TMapPtr>& VecMaps);

    void Write(const std::vector<TGridOut>& VecOutputs);
    void Write(const TMap& Map, const std::string& StgName, const std::string& StgSidecarOf)
    {
        Write({{&Map, StgName, StgSidecarOf}});
    }

    // Streams StgInput to StgOutput through the block function MakeFunction
    // gives for the input's header: the header as read, then the cells.
    void Stream(const std::string& StgInput, const std::string& StgOutput,
                const std::function<TGridStream::TBlockFunction(const TGridHeader&)>& MakeFunction);
    // Reads every cell of StgInput into Consumer, once the header is read.
    void Scan(const std::string& StgInput,
              const std::function<TGridStream::TBlockConsumer(const TGridHeader&)>& MakeConsumer);

    // Standard output for text; Finish checks that it was written.
    std::ostream& Text();
    void FinishText();

    // The lines of a CSV file ("-" standard input), each split at commas.
    std::vector<std::vector<std::string>> ReadCsv(const std::string& StgName);

private:
    // The no-data value of a grid whose header names none, from its cells.
    double UnusedNoDataValue(std::ifstream Input, const std::string& StgName);

    TGridDialect MbrDialect;
    TProgress MbrProgress;
};
