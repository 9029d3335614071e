#pragma once
// The strict dialect of the grid header: the six tags as this toolkit writes
// them, in their fixed order, with the messages TGridHeader::Read describes.

#include "io/TGridHeader.h"
#include "io/TTokenizer.h"

TGridHeader ReadStrictHeader(TTokenizer& Tokens);
