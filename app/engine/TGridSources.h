#pragma once
// An input grid opened by its content, whatever its name: an ASCII grid in
// any dialect, plain or gzip-compressed, or, where the build has GDAL, a
// raster GDAL reads (a GeoTIFF first), band LngBand of it. Standard input
// and pipes hold ASCII grids, plain or gzip-compressed.

#include <memory>
#include <string>

#include "app/engine/TAsciiSource.h"

namespace TGridSources {

// Throws the readers' failures; "NAME is an ASCII grid: it has no band K"
// for a band beyond the first of an ASCII grid.
std::unique_ptr<TRowSource> Open(const std::string& StgName, const TAsciiSource::TRules& Rules, int LngBand);

// Which formats this build reads and writes, for --version.
std::string Formats();

}  // namespace TGridSources
