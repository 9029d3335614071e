#pragma once
// An expression of map algebra that cannot be compiled. what() reads
// "<what is wrong> at column N", N being the 1-based column of the first
// character of the offending token (one past the end for the end of the text).

#include <string>

#include "util/TError.h"

class TExpressionError : public TError {
public:
    TExpressionError(const std::string& StgProblem, long LngColumn)
        : TError(StgProblem + " at column " + std::to_string(LngColumn)), MbrLngColumn(LngColumn) {}

    long Column() const { return MbrLngColumn; }

private:
    long MbrLngColumn;
};
