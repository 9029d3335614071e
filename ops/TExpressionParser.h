#pragma once
// The grammar of map algebra expressions, compiled in one pass as it is
// read. Loosest first: c ? a : b (right-associative); ||; &&; == !=;
// < <= > >=; + -; * / %; unary - and !; ^ (right-associative, its right
// operand a unary expression). Operands: numbers, nan, inf, the names of
// the grids (name[dr, dc] for a neighbour, offsets whole within -8..8),
// function calls, parentheses. A word is a name unless followed by "(";
// the words nan and inf are numbers unless they are names.

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ops/TExpressionBuilder.h"
#include "ops/TExpressionLexer.h"

class TExpressionParser {
public:
    static constexpr std::size_t MaxLength = 10000;
    static constexpr int MaxNesting = 256;
    static constexpr long MaxOffset = 8;

    // The program of StgText over the grids VecNames, a grid's number being
    // its place in the list. Throws TExpressionError.
    static TExpressionProgram Compile(std::string_view StgText, const std::vector<std::string>& VecNames);

private:
    TExpressionParser(std::string_view StgText, const std::vector<std::string>& VecNames);

    const TExpressionToken& Peek() const { return MbrVecTokens[MbrLngAt]; }
    // The current token, moving on unless it is the end.
    const TExpressionToken& Next()
    {
        const TExpressionToken& Token = MbrVecTokens[MbrLngAt];
        MbrLngAt += Token.Kind != TExpressionToken::TKind::End;
        return Token;
    }
    bool Accept(std::string_view StgSymbol);
    void Expect(std::string_view StgSymbol);
    [[noreturn]] static void Unexpected(const TExpressionToken& Token);

    TSlot Conditional();
    TSlot Binary(std::size_t LngLevel);
    TSlot Unary();
    TSlot Power();
    TSlot Primary();
    TSlot Word(const TExpressionToken& Token);
    TSlot Call(const TExpressionToken& Name);
    TSlot Reference(long LngGrid);
    long Offset();

    // One more level of nesting, begun by Token, for the scope of the object.
    class TNested {
    public:
        TNested(TExpressionParser& Parser, const TExpressionToken& Token);
        ~TNested() { --MbrParser.MbrLngNesting; }
        TNested(const TNested&) = delete;
        TNested& operator=(const TNested&) = delete;

    private:
        TExpressionParser& MbrParser;
    };

    std::vector<TExpressionToken> MbrVecTokens;
    std::size_t MbrLngAt = 0;
    int MbrLngNesting = 0;
    std::unordered_map<std::string_view, long> MbrMapNames;
    TExpressionBuilder MbrBuilder;
};
