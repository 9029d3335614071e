#pragma once
// The tokens of an expression of map algebra: numbers (digits with an
// optional fraction and exponent), words (identifiers: names, functions, nan
// and inf), the operator and punctuation symbols, and an end token one
// column past the text. White space separates tokens and is dropped.

#include <string_view>
#include <vector>

struct TExpressionToken {
    enum class TKind { Number, Word, Symbol, End };

    TKind Kind = TKind::End;
    std::string_view StgText;  // within the expression's text
    long LngColumn = 0;        // 1-based
    double DblValue = 0.0;     // a number's value

    bool Is(std::string_view StgSymbol) const { return Kind == TKind::Symbol && StgText == StgSymbol; }
};

class TExpressionLexer {
public:
    // The tokens of StgText, the end token last. Throws TExpressionError
    // for a character no token starts with and for a malformed number.
    static std::vector<TExpressionToken> Split(std::string_view StgText);
};
