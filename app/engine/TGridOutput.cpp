#include "app/engine/TGridOutput.h"

#include <algorithm>
#include <cctype>

#include "app/TSidecar.h"
#include "app/engine/TAsciiSink.h"
#include "util/TError.h"
#ifdef PVX_WITH_GZIP
#include "formats/TGzipWriteBuffer.h"
#endif
#ifdef PVX_WITH_GDAL
#include "app/engine/TGeoTiffSink.h"
#include "formats/TGdalModule.h"
#endif

namespace {

bool EndsWith(const std::string& StgName, const std::string& StgEnd)
{
    if (StgName.size() < StgEnd.size())
        return false;
    return std::equal(StgEnd.rbegin(), StgEnd.rend(), StgName.rbegin(), [](char ChrA, char ChrB) {
        return std::tolower(static_cast<unsigned char>(ChrA)) == std::tolower(static_cast<unsigned char>(ChrB));
    });
}

TGridHeader HeaderOf(const TGridFrame& Frame, double DblNoData)
{
    TGridHeader Header;
    Header.LngCols = Frame.LngCols;
    Header.LngRows = Frame.LngRows;
    Header.DblXllCorner = Frame.DblXllCorner;
    Header.DblYllCorner = Frame.DblYllCorner;
    Header.DblCellSize = Frame.DblCellSize;
    Header.DblNoDataValue = DblNoData;
    return Header;
}

}  // namespace

// The text of an ASCII grid compressed on its way to the output file.
class TGridOutput::TGzipText {
public:
#ifdef PVX_WITH_GZIP
    TGzipText(std::ostream& Target, int LngLevel) : MbrBuffer(Target, LngLevel), MbrStream(&MbrBuffer) {}
    std::ostream& Stream() { return MbrStream; }
    void Finish() { MbrBuffer.Finish(); }

private:
    TGzipWriteBuffer MbrBuffer;
    std::ostream MbrStream;
#endif
};

std::optional<TGridOutput::TFormat> TGridOutput::FormatNamed(const std::string& StgFormat)
{
    if (StgFormat == "asc")
        return TFormat::Ascii;
    if (StgFormat == "asc.gz")
        return TFormat::AsciiGzip;
    if (StgFormat == "tif")
        return TFormat::GeoTiff;
    return std::nullopt;
}

TGridOutput::TFormat TGridOutput::FormatOf(const std::string& StgName, const std::optional<TFormat>& Given)
{
    if (Given)
        return *Given;
    if (StgName != "-" && EndsWith(StgName, ".gz"))
        return TFormat::AsciiGzip;
    if (StgName != "-" && (EndsWith(StgName, ".tif") || EndsWith(StgName, ".tiff")))
        return TFormat::GeoTiff;
    return TFormat::Ascii;
}

TGridOutput::TGridOutput(const std::string& StgName, const TGridFrame& Frame, double DblNoData,
                         const TGridCrs& Crs, const TSettings& Settings)
    : MbrStgName(StgName)
{
    const TFormat Format = FormatOf(StgName, Settings.Format);
    if (Format == TFormat::GeoTiff) {
#ifdef PVX_WITH_GDAL
        MbrPtrOutput = std::make_unique<TCommandOutput>(StgName, true, TGridCrs());
        if (MbrPtrOutput->WritesDirectly())
            throw TError(StgName + ": a GeoTIFF is written to a file, not to standard output, a pipe or a device");
        const std::string StgWkt = !Crs.StgWkt.empty() || Crs.StgPrjFile.empty()
            ? Crs.StgWkt
            : TGdalModule::WktFromPrj(TSidecar::Text(Crs), Crs.StgPrjFile);
        MbrPtrSink = std::make_unique<TGeoTiffSink>(
            MbrPtrOutput->WorkingName(), Frame,
            TRasterWriter::TSettings{Settings.StgType.empty() ? "Float64" : Settings.StgType, TNoData(DblNoData), StgWkt});
        return;
#else
        throw TError(StgName + ": this build writes no GeoTIFF (it was built without GDAL)");
#endif
    }
    MbrPtrOutput = std::make_unique<TCommandOutput>(StgName, true, Crs);
    std::ostream* PtrText = &MbrPtrOutput->Stream();
    if (Format == TFormat::AsciiGzip) {
#ifdef PVX_WITH_GZIP
        MbrPtrGzip = std::make_unique<TGzipText>(*PtrText, Settings.LngLevel);
        PtrText = &MbrPtrGzip->Stream();
#else
        throw TError(StgName + ": this build writes no gzip (it was built without zlib)");
#endif
    }
    MbrPtrSink = std::make_unique<TAsciiSink>(*PtrText, HeaderOf(Frame, DblNoData), Settings.LngDigits, true);
}

TGridOutput::~TGridOutput() = default;

TRowConsumer& TGridOutput::Consumer()
{
    return *MbrPtrSink;
}

std::uint64_t TGridOutput::Finish()
{
    const std::uint64_t LngChanged = MbrPtrSink->Finish();
#ifdef PVX_WITH_GZIP
    if (MbrPtrGzip)
        MbrPtrGzip->Finish();
#endif
    MbrPtrOutput->Finish();
    // What writing needed goes: a run may hold many finished outputs.
    MbrPtrSink.reset();
    MbrPtrGzip.reset();
    return LngChanged;
}

void TGridOutput::Commit()
{
    MbrPtrOutput->Commit();
}
