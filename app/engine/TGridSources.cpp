#include "app/engine/TGridSources.h"

#include <algorithm>
#include <cctype>
#include <fstream>

#include "app/engine/TInputFile.h"
#include "formats/TFormats.h"
#include "util/TError.h"
#ifdef PVX_WITH_GDAL
#include "app/engine/TGdalSource.h"
#endif

namespace {

#ifdef PVX_WITH_GDAL
// Whether a file begins as an ASCII grid does, plain or gzip-compressed:
// gzip's first bytes, or a header tag as its first word (a byte-order mark
// and white space before it). A file that cannot be read counts as one, for
// the grid reader's message.
bool LooksLikeGridText(const std::string& StgName)
{
    std::ifstream File(StgName, std::ios::binary);
    char ArrStart[512] = {};
    File.read(ArrStart, sizeof ArrStart);
    const std::string StgStart(ArrStart, static_cast<std::size_t>(File.gcount()));
    if (!File.good() && StgStart.empty())
        return true;
    if (StgStart.size() >= 2 && StgStart[0] == '\x1f' && StgStart[1] == '\x8b')
        return true;
    std::size_t LngAt = StgStart.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (LngAt < StgStart.size() && std::isspace(static_cast<unsigned char>(StgStart[LngAt])))
        ++LngAt;
    std::string StgWord;
    if (LngAt == StgStart.size())
        return true;
    for (; LngAt < StgStart.size() && (std::isalpha(static_cast<unsigned char>(StgStart[LngAt])) || StgStart[LngAt] == '_'); ++LngAt)
        StgWord += static_cast<char>(std::tolower(static_cast<unsigned char>(StgStart[LngAt])));
    const char* const ArrTags[] = {"ncols", "nrows", "xllcorner", "xllcenter", "yllcorner",
                                   "yllcenter", "cellsize", "dx", "dy", "nodata_value"};
    return std::find(std::begin(ArrTags), std::end(ArrTags), StgWord) != std::end(ArrTags);
}
#endif

}  // namespace

std::unique_ptr<TRowSource> TGridSources::Open(const std::string& StgName, const TAsciiSource::TRules& Rules,
                                                int LngBand)
{
#ifdef PVX_WITH_GDAL
    if (StgName != "-" && TInputFile::IsRegularFile(StgName) && !LooksLikeGridText(StgName))
        return std::make_unique<TGdalSource>(StgName, LngBand);
#endif
    std::unique_ptr<TRowSource> PtrSource = std::make_unique<TAsciiSource>(StgName, Rules);
    if (LngBand != 1)
        throw TError(PtrSource->Shown() + " is an ASCII grid: it has no band " + std::to_string(LngBand));
    return PtrSource;
}

std::string TGridSources::Formats()
{
    return TFormats::Describe();
}
