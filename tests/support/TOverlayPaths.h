#pragma once
// The two ways to scale a grid text: through the toolkit (load, Multiply or
// Divide, write) and through the streaming command. Each gives the output
// text, or the message of the failure.

#include <memory>
#include <sstream>
#include <string>

#include "app/TScalarOverlay.h"
#include "util/TError.h"
#include "io/TARCGISFileTools.h"
#include "ops/TMapTools.h"

template <typename TWrite>
std::string OutputOrMessage(const std::string& StgInput, TWrite Write)
{
    try {
        std::istringstream Input(StgInput);
        std::ostringstream Output;
        Write(Input, Output);
        return Output.str();
    } catch (const TError& Error) {
        return Error.what();
    }
}

inline std::string ThroughToolkit(const std::string& StgInput, char ChrOperation, double DblScalar)
{
    return OutputOrMessage(StgInput, [&](std::istream& Input, std::ostream& Output) {
        const std::unique_ptr<TMap> PtrMap(TARCGISFileTools::LoadARCGISFile(Input));
        if (ChrOperation != 'x' && ChrOperation != '/')
            throw TError("Unknown operation");
        const std::unique_ptr<TMap> PtrResult(ChrOperation == 'x'
                                                  ? TMapTools::Multiply(PtrMap.get(), DblScalar)
                                                  : TMapTools::Divide(PtrMap.get(), DblScalar));
        TARCGISFileTools::WriteARCGISFile(PtrResult.get(), Output);
    });
}

// On the toolkit's threads of the moment (TSlices::SetThreads).
inline std::string Streamed(const std::string& StgInput, char ChrOperation, double DblScalar)
{
    return OutputOrMessage(StgInput, [&](std::istream& Input, std::ostream& Output) {
        TScalarOverlay::Run(Input, Output, ChrOperation, DblScalar);
    });
}
