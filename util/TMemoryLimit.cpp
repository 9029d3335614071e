#include "util/TMemoryLimit.h"

#include <unistd.h>

bool TMemoryLimit::Fits(double DblBytes)
{
    const long LngPages = sysconf(_SC_PHYS_PAGES);
    const long LngPageSize = sysconf(_SC_PAGE_SIZE);
    if (LngPages <= 0 || LngPageSize <= 0)
        return true;
    return DblBytes <= 0.5 * static_cast<double>(LngPages) * static_cast<double>(LngPageSize);
}
