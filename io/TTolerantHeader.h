#pragma once
// The tolerant dialect of the grid header: what GIS programs write.
//
//   - the tags ncols, nrows, xllcorner or xllcenter, yllcorner or yllcenter,
//     cellsize (or dx and dy, which must be equal) and NODATA_value, in any
//     case and any order, each at most once; NODATA_value may be left out;
//   - every value a whole token; numbers may have one decimal comma ("0,5")
//     or be one of the spellings of NaN and infinity TNonFiniteSpellings.h
//     lists ("NaN", "-Infinity", "1.#INF"), and from here on the cells too;
//     a corner or cell size that is not finite fails the geometry checks;
//   - a UTF-8 byte-order mark before the first tag;
//   - the header ends at the first token that is no tag: a cell value
//     ("nan" included) begins the body, a word is refused.
//
// Messages beyond the strict ones: "File format error: header tag T given
// twice", "File format error: header tags A and B both given" (a corner and a
// centre of one axis, cellsize and dx or dy), "File format error: header tag
// dx given without dy" (or the reverse), "File format error: cells are not
// square", "File format error: A and B mix a corner and a centre", "File
// format error: W is not a header tag"; tags as the file spells them. A
// missing tag, a value that does not read and the geometry give the strict
// dialect's messages.

#include "io/TGridHeader.h"
#include "io/TTokenizer.h"

TGridHeader ReadTolerantHeader(TTokenizer& Tokens);
