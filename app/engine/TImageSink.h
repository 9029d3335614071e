#pragma once
// A grid's cells turned into a quick-look image as they come: gathered into
// rows, averaged into the pixels of the image's width, coloured by a ramp,
// darkened by the hillshade of the pixels (a window of three pixel rows),
// written as PNG rows, and a legend strip below the map when asked. Memory:
// a few rows of the grid's and the image's width.

#include <memory>
#include <optional>
#include <vector>

#include "app/engine/TRowJob.h"
#include "formats/TPngWriter.h"
#include "ops/TColourRamp.h"
#include "ops/TLegend.h"
#include "ops/TPixelMeans.h"
#include "ops/TTerrain.h"

class TImageSink : public TRowConsumer {
public:
    struct TLook {
        long LngWidth;       // the image's width in pixels (the grid's by default)
        bool BlnHillshade;
        bool BlnLegend;
        double DblMin;       // the range the ramp spans, for the legend
        double DblMax;
    };

    TImageSink(std::ostream& Output, const TGridFrame& Frame, const TColourRamp& Ramp, const TLook& Look);

    void Take(double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells) override;
    // The last rows and the legend.
    void Finish();

private:
    // A row of pixel means from the downscaling.
    void AddPixels(const double* PtrPixels);
    // Pixel row MbrLngDone written: coloured, shaded from its neighbours.
    void WritePixelRow(const double* PtrNorth, const double* PtrCentre, const double* PtrSouth);

    const TColourRamp& MbrRamp;
    long MbrLngCols;
    TPixelMeans MbrMeans;
    std::optional<TTerrain> MbrShade;
    std::optional<TLegend> MbrLegend;
    TPngWriter MbrPng;
    std::vector<double> MbrVecRow;            // the grid's row being gathered
    std::vector<std::vector<double>> MbrVecPixels;  // the pixel rows held for the shade
    std::vector<double> MbrVecShade;
    std::vector<std::uint8_t> MbrVecRgba;
};
