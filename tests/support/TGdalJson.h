#pragma once
// Reading numbers out of the JSON that gdalinfo -json prints.

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

// The numbers after "Key": one number or an array ("nan" as a string too).
inline std::vector<double> JsonNumbers(const std::string& StgJson, const std::string& StgKey)
{
    std::vector<double> VecNumbers;
    const std::size_t LngAt = StgJson.find("\"" + StgKey + "\":");
    if (LngAt == std::string::npos)
        return VecNumbers;
    const char* Ptr = StgJson.c_str() + LngAt + StgKey.size() + 3;
    const bool BlnArray = *Ptr == '[';
    for (char* PtrEnd = nullptr;; Ptr = PtrEnd) {
        Ptr += std::strspn(Ptr, "[, \t\r\n\"");
        const double DblValue = std::strtod(Ptr, &PtrEnd);
        if (PtrEnd == Ptr)
            break;
        VecNumbers.push_back(DblValue);
        if (!BlnArray)
            break;
    }
    return VecNumbers;
}
