#pragma once
// How much of the header variety other programs write a grid reader accepts.
//   Strict:   the six tags in their fixed order, as this toolkit writes them.
//   Tolerant: the header variants that GIS programs write (tag case and
//             order, centre coordinates, dx/dy, no NODATA_value line, a
//             decimal comma, a byte-order mark), and the spellings of NaN
//             and infinity they write, in the header and the cells.
// The body, its messages and the geometry checks are the same for both.

enum class TGridDialect { Strict, Tolerant };
