#pragma once
// The two ways to scale a grid text: through the toolkit (load, Multiply or
// Divide, write) and through the streaming command. Each gives the output
// text, or the message of the failure.

#include <memory>
#include <sstream>
#include <string>

#include "app/TScalarOverlay.h"
#include "io/TARCGISFileTools.h"
#include "ops/TMapTools.h"

inline std::string ThroughToolkit(const std::string& StgInput, char ChrOperation, double DblScalar)
{
    try {
        std::istringstream Input(StgInput);
        const std::unique_ptr<TMap> PtrMap(TARCGISFileTools::LoadARCGISFile(Input));
        std::unique_ptr<TMap> PtrResult;
        if (ChrOperation == 'x')
            PtrResult.reset(TMapTools::Multiply(PtrMap.get(), DblScalar));
        else if (ChrOperation == '/')
            PtrResult.reset(TMapTools::Divide(PtrMap.get(), DblScalar));
        else
            return "Unknown operation";
        std::ostringstream Output;
        TARCGISFileTools::WriteARCGISFile(PtrResult.get(), Output);
        return Output.str();
    } catch (const TError& Error) {
        return Error.what();
    }
}

inline std::string Streamed(const std::string& StgInput, char ChrOperation, double DblScalar,
                            unsigned LngThreads)
{
    try {
        std::istringstream Input(StgInput);
        std::ostringstream Output;
        TScalarOverlay::Run(Input, Output, ChrOperation, DblScalar, LngThreads);
        return Output.str();
    } catch (const TError& Error) {
        return Error.what();
    }
}
