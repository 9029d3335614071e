#pragma once
// The spellings of NaN and infinity that the tolerant dialect reads where a
// number may stand, as GDAL 3.6 reads them (CPLStrtod: its own checks for
// what Windows' C library prints, then the C library's strtod):
//   - nan, inf or infinity in any case, with a sign or none ("NaN", "-INF",
//     "+Infinity"); nan may carry strtod's parenthesised characters
//     ("-nan(ind)", as Windows prints it). NaN keeps its sign, no payload.
//   - Windows' forms, recognised by their beginning as GDAL does, so that
//     "%f" output ("1.#INF00") reads too: 1.#INF and -1.#INF in any case,
//     1.#QNAN, 1.#SNAN, -1.#QNAN and -1.#IND as written, every NaN among
//     them positive.
// Other tokens with "#" ("1.#IND", "-1.#SNAN", "1.#qnan", "+1.#INF") are none
// of these: GDAL reads them as the number before the "#".

#include <string_view>

class TNonFiniteSpellings {
public:
    // Whether the whole token is one of the spellings, and its value.
    static bool Read(std::string_view StgToken, double& DblValue);
};
