#pragma once
// One grid a command writes, in the format its name asks for, or the one
// given: an ASCII grid (any other name, and "-", standard output), a
// gzip-compressed ASCII grid ("*.gz"), a GeoTIFF ("*.tif", "*.tiff"); each
// through the protected output file, complete or not at all, with the
// coordinate system of its input (a .prj beside an ASCII grid, inside a
// GeoTIFF). A format the build lacks is refused with a message saying so.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/TCommandOutput.h"
#include "app/engine/TGridSink.h"
#include "grid/TGridFrame.h"

class TGridOutput {
public:
    enum class TFormat { Ascii, AsciiGzip, GeoTiff };

    struct TSettings {
        std::optional<TFormat> Format;  // none: by the name
        int LngDigits = 15;             // ASCII: significant digits
        int LngLevel = 6;               // gzip: 1 to 9
        std::string StgType;            // GeoTIFF: GDAL's type name, Float64 when empty
    };

    // "asc", "asc.gz" or "tif"; none for anything else.
    static std::optional<TFormat> FormatNamed(const std::string& StgFormat);
    static TFormat FormatOf(const std::string& StgName, const std::optional<TFormat>& Given);

    // Opens the output; its cells go through Consumer(), no-data cells the
    // marker, which become DblNoData.
    TGridOutput(const std::string& StgName, const TGridFrame& Frame, double DblNoData, const TGridCrs& Crs,
                const TSettings& Settings);
    ~TGridOutput();
    TGridOutput(const TGridOutput&) = delete;
    TGridOutput& operator=(const TGridOutput&) = delete;

    const std::string& Name() const { return MbrStgName; }
    TRowConsumer& Consumer();
    // Completes the file, not yet in place, and lets go of its buffers and
    // descriptors. Returns the data cells whose value the GeoTIFF's type
    // changed (0 for the others).
    std::uint64_t Finish();
    // Puts it in place.
    void Commit();

private:
    class TGzipText;

    std::string MbrStgName;
    std::unique_ptr<TCommandOutput> MbrPtrOutput;
    std::unique_ptr<TGzipText> MbrPtrGzip;
    std::unique_ptr<TGridSink> MbrPtrSink;
};
