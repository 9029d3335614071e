#pragma once
// A grid's cells turned into a quick-look image as they come: gathered into
// rows, averaged into the pixels of the image's width, coloured by a ramp,
// darkened by the hillshade of the cells (each pixel by the mean shade of
// the cells it covers, so that narrowing the image makes no ripples),
// written as PNG rows, and a legend strip below the map when asked. Memory:
// three rows of the grid and a few of the image.

#include <deque>
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
        long LngWidth;  // the image's width in pixels (the grid's by default)
        bool BlnHillshade;
        bool BlnLegend;
        double DblMin;  // the range the ramp spans, for the legend
        double DblMax;
    };

    TImageSink(std::ostream& Output, const TGridFrame& Frame, const TColourRamp& Ramp, const TLook& Look);

    void Take(double* const* PtrPlanes, std::uint64_t LngFirst, std::size_t LngCells) override;
    // The last rows and the legend.
    void Finish();

private:
    // A whole row of the grid, and its shade once the row south of it came.
    void AddRow(std::vector<double> VecRow);
    void AddShaded(const double* PtrNorth, const double* PtrCentre, const double* PtrSouth);
    // A row of pixel means, coloured and shaded, to the image.
    void WritePixels(const double* PtrPixels);

    const TColourRamp& MbrRamp;
    long MbrLngCols;
    TPixelMeans MbrMeans;
    std::optional<TTerrain> MbrShade;
    std::optional<TPixelMeans> MbrShadeMeans;
    std::optional<TLegend> MbrLegend;
    TPngWriter MbrPng;
    std::vector<double> MbrVecRow;               // the grid's row being gathered
    std::deque<std::vector<double>> MbrDqRows;   // the rows held for the shade
    std::vector<double> MbrVecShade;
    std::deque<std::vector<double>> MbrDqShades;  // pixel shades waiting for their colours
    std::vector<std::uint8_t> MbrVecRgba;
};
