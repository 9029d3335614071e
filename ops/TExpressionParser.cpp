#include "ops/TExpressionParser.h"

#include <cmath>
#include <limits>

#include "ops/TExpressionError.h"
#include "util/TNoData.h"

namespace {

struct TOperator {
    std::string_view StgSymbol;
    TOpCode Op;
};

// The left-associative binary operators, loosest level first.
const std::vector<std::vector<TOperator>> VecLevels = {
    {{"||", TOpCode::Or}},
    {{"&&", TOpCode::And}},
    {{"==", TOpCode::Equal}, {"!=", TOpCode::NotEqual}},
    {{"<", TOpCode::Less}, {"<=", TOpCode::LessEqual},
     {">", TOpCode::Greater}, {">=", TOpCode::GreaterEqual}},
    {{"+", TOpCode::Add}, {"-", TOpCode::Subtract}},
    {{"*", TOpCode::Multiply}, {"/", TOpCode::Divide}, {"%", TOpCode::Modulo}},
};

const TOperator* FindOperator(const std::vector<TOperator>& VecOperators, const TExpressionToken& Token)
{
    for (const TOperator& Operator : VecOperators)
        if (Token.Is(Operator.StgSymbol))
            return &Operator;
    return nullptr;
}

// A function and how many arguments it takes (LngMost < 0: any number
// from LngLeast on, folded pairwise). null() is a constant; its operation
// is never used.
struct TFunction {
    std::string_view StgName;
    TOpCode Op;
    int LngLeast;
    int LngMost;
};

const TFunction ArrFunctions[] = {
    {"abs", TOpCode::Abs, 1, 1},       {"sqrt", TOpCode::Sqrt, 1, 1},     {"exp", TOpCode::Exp, 1, 1},
    {"log", TOpCode::Log, 1, 1},       {"log10", TOpCode::Log10, 1, 1},   {"sin", TOpCode::Sin, 1, 1},
    {"cos", TOpCode::Cos, 1, 1},       {"tan", TOpCode::Tan, 1, 1},       {"asin", TOpCode::Asin, 1, 1},
    {"acos", TOpCode::Acos, 1, 1},     {"atan", TOpCode::Atan, 1, 1},     {"floor", TOpCode::Floor, 1, 1},
    {"ceil", TOpCode::Ceil, 1, 1},     {"round", TOpCode::Round, 1, 1},   {"atan2", TOpCode::Atan2, 2, 2},
    {"min", TOpCode::Min, 2, -1},      {"max", TOpCode::Max, 2, -1},      {"if", TOpCode::Select, 3, 3},
    {"isnull", TOpCode::IsNull, 1, 1}, {"null", TOpCode::IsNull, 0, 0},   {"x", TOpCode::X, 0, 0},
    {"y", TOpCode::Y, 0, 0},           {"col", TOpCode::Column, 0, 0},    {"row", TOpCode::Row, 0, 0},
};

std::string Quoted(std::string_view StgText) { return "'" + std::string(StgText) + "'"; }

std::string ArityProblem(const TFunction& Function)
{
    std::string StgCount;
    if (Function.LngMost < 0)
        StgCount = std::to_string(Function.LngLeast) + " or more arguments";
    else if (Function.LngLeast == 0)
        StgCount = "no arguments";
    else
        StgCount = std::to_string(Function.LngLeast) + (Function.LngLeast == 1 ? " argument" : " arguments");
    return Quoted(Function.StgName) + " takes " + StgCount;
}

}  // namespace

TExpressionParser::TNested::TNested(TExpressionParser& Parser, const TExpressionToken& Token)
    : MbrParser(Parser)
{
    if (++MbrParser.MbrLngNesting > MaxNesting)
        throw TExpressionError(
            "expression nested too deeply (more than " + std::to_string(MaxNesting) + " levels)",
            Token.LngColumn);
}

TExpressionParser::TExpressionParser(std::string_view StgText, const std::vector<std::string>& VecNames)
    : MbrVecTokens(TExpressionLexer::Split(StgText))
{
    for (std::size_t LngName = 0; LngName < VecNames.size(); ++LngName)
        MbrMapNames.emplace(VecNames[LngName], static_cast<long>(LngName));
}

TExpressionProgram TExpressionParser::Compile(std::string_view StgText,
                                              const std::vector<std::string>& VecNames)
{
    if (StgText.size() > MaxLength)
        throw TExpressionError("expression too long (more than " + std::to_string(MaxLength) + " characters)",
                               static_cast<long>(MaxLength) + 1);
    TExpressionParser Parser(StgText, VecNames);
    if (Parser.Peek().Kind == TExpressionToken::TKind::End)
        throw TExpressionError("empty expression", 1);
    const TSlot Result = Parser.Conditional();
    if (Parser.Peek().Kind != TExpressionToken::TKind::End)
        Unexpected(Parser.Peek());
    return Parser.MbrBuilder.Finish(Result);
}

bool TExpressionParser::Accept(std::string_view StgSymbol)
{
    if (!Peek().Is(StgSymbol))
        return false;
    ++MbrLngAt;
    return true;
}

void TExpressionParser::Expect(std::string_view StgSymbol)
{
    if (!Accept(StgSymbol))
        throw TExpressionError("expected " + Quoted(StgSymbol), Peek().LngColumn);
}

void TExpressionParser::Unexpected(const TExpressionToken& Token)
{
    if (Token.Kind == TExpressionToken::TKind::End)
        throw TExpressionError("unexpected end of the expression", Token.LngColumn);
    throw TExpressionError("unexpected " + Quoted(Token.StgText), Token.LngColumn);
}

TSlot TExpressionParser::Conditional()
{
    const TSlot Condition = Binary(0);
    if (!Peek().Is("?"))
        return Condition;
    const TNested Nested(*this, Next());
    const TSlot Then = Conditional();
    Expect(":");
    const TSlot Else = Conditional();
    return MbrBuilder.Apply(TOpCode::Select, {Condition, Then, Else});
}

TSlot TExpressionParser::Binary(std::size_t LngLevel)
{
    if (LngLevel == VecLevels.size())
        return Unary();
    TSlot Left = Binary(LngLevel + 1);
    while (const TOperator* PtrOperator = FindOperator(VecLevels[LngLevel], Peek())) {
        Next();
        const TSlot Right = Binary(LngLevel + 1);
        Left = MbrBuilder.Apply(PtrOperator->Op, {Left, Right});
    }
    return Left;
}

TSlot TExpressionParser::Unary()
{
    const TExpressionToken& Token = Peek();
    if (!Token.Is("-") && !Token.Is("!"))
        return Power();
    const TNested Nested(*this, Next());
    const TSlot Operand = Unary();
    return MbrBuilder.Apply(Token.Is("-") ? TOpCode::Negate : TOpCode::Not, {Operand});
}

TSlot TExpressionParser::Power()
{
    const TSlot Base = Primary();
    if (!Peek().Is("^"))
        return Base;
    const TNested Nested(*this, Next());
    const TSlot Exponent = Unary();
    return MbrBuilder.Apply(TOpCode::Power, {Base, Exponent});
}

TSlot TExpressionParser::Primary()
{
    const TExpressionToken& Token = Next();
    if (Token.Kind == TExpressionToken::TKind::Number)
        return MbrBuilder.Constant(Token.DblValue);
    if (Token.Kind == TExpressionToken::TKind::Word)
        return Word(Token);
    if (!Token.Is("("))
        Unexpected(Token);
    const TNested Nested(*this, Token);
    const TSlot Inner = Conditional();
    Expect(")");
    return Inner;
}

TSlot TExpressionParser::Word(const TExpressionToken& Token)
{
    if (Peek().Is("("))
        return Call(Token);
    const auto ItName = MbrMapNames.find(Token.StgText);
    if (ItName != MbrMapNames.end())
        return Reference(ItName->second);
    if (Token.StgText == "nan")
        return MbrBuilder.Constant(std::numeric_limits<double>::quiet_NaN());
    if (Token.StgText == "inf")
        return MbrBuilder.Constant(std::numeric_limits<double>::infinity());
    throw TExpressionError("unknown name " + Quoted(Token.StgText), Token.LngColumn);
}

TSlot TExpressionParser::Call(const TExpressionToken& Name)
{
    const TFunction* PtrFunction = nullptr;
    for (const TFunction& Function : ArrFunctions)
        if (Function.StgName == Name.StgText)
            PtrFunction = &Function;
    if (!PtrFunction)
        throw TExpressionError("unknown function " + Quoted(Name.StgText), Name.LngColumn);
    const TNested Nested(*this, Next());
    std::vector<TSlot> VecArguments;
    int LngCount = 0;
    if (!Accept(")")) {
        do {
            VecArguments.push_back(Conditional());
            // Any number of arguments in two registers.
            if (PtrFunction->LngMost < 0 && VecArguments.size() == 2)
                VecArguments = {MbrBuilder.Apply(PtrFunction->Op, VecArguments)};
            ++LngCount;
        } while (Accept(","));
        Expect(")");
    }
    if (LngCount < PtrFunction->LngLeast || (PtrFunction->LngMost >= 0 && LngCount > PtrFunction->LngMost))
        throw TExpressionError(ArityProblem(*PtrFunction), Name.LngColumn);
    if (PtrFunction->StgName == "null")
        return MbrBuilder.Constant(TNoData::Marker(), false);
    if (PtrFunction->LngMost < 0)
        return VecArguments.front();
    return MbrBuilder.Apply(PtrFunction->Op, VecArguments);
}

TSlot TExpressionParser::Reference(long LngGrid)
{
    if (!Accept("["))
        return MbrBuilder.Load(LngGrid, 0, 0);
    const long LngRowOffset = Offset();
    Expect(",");
    const long LngColOffset = Offset();
    Expect("]");
    return MbrBuilder.Load(LngGrid, LngRowOffset, LngColOffset);
}

long TExpressionParser::Offset()
{
    const TExpressionToken& First = Peek();
    const double DblSign = Accept("-") ? -1.0 : 1.0;
    if (DblSign > 0)
        Accept("+");
    const TExpressionToken& Number = Next();
    if (Number.Kind != TExpressionToken::TKind::Number)
        Unexpected(Number);
    const double DblOffset = DblSign * Number.DblValue;
    if (DblOffset != std::floor(DblOffset))
        throw TExpressionError("offset must be a whole number", First.LngColumn);
    if (std::fabs(DblOffset) > MaxOffset)
        throw TExpressionError("offset out of range (-" + std::to_string(MaxOffset) + " to " +
                                   std::to_string(MaxOffset) + ")",
                               First.LngColumn);
    return static_cast<long>(DblOffset);
}
