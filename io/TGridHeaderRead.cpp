// The header reader of each dialect, behind TGridHeader::Read.
#include "io/TGridHeader.h"

#include "io/TStrictHeader.h"
#include "io/TTolerantHeader.h"

TGridHeader TGridHeader::Read(TTokenizer& Tokens, TGridDialect Dialect)
{
    return Dialect == TGridDialect::Tolerant ? ReadTolerantHeader(Tokens) : ReadStrictHeader(Tokens);
}
