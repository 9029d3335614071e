#include "util/TStringTools.h"

#include <array>
#include <cctype>
#include <cstddef>
#include <sstream>

#include "util/TError.h"

namespace {

template <class TValue>
std::string Streamed(TValue Value)
{
    std::ostringstream Stream;
    Stream << Value;
    return Stream.str();
}

}  // namespace

bool TStringTools::StgToBool(std::string StgText)
{
    if (StgText == "1")
        return true;
    if (StgText == "0")
        return false;
    throw TError("Invalid boolean string in TStringTools::HasSubstring");
}

bool TStringTools::HasSubstring(std::string StgText, std::string StgPart)
{
    return StgText.find(StgPart) != std::string::npos;
}

void TStringTools::ToUpper(std::string& StgText)
{
    for (char& ChrByte : StgText)
        ChrByte = static_cast<char>(std::toupper(static_cast<unsigned char>(ChrByte)));
}

void TStringTools::Trim(std::string& StgText)
{
    const std::size_t LngLast = StgText.find_last_not_of(' ');
    if (LngLast == std::string::npos) {
        StgText.clear();
        return;
    }
    StgText.erase(LngLast + 1);
    StgText.erase(0, StgText.find_first_not_of(' '));
}

std::string TStringTools::FindAndReplace(std::string StgSource, std::string StgSought,
                                         std::string StgReplacement)
{
    std::size_t LngFound = StgSought.empty() ? std::string::npos : StgSource.find(StgSought);
    if (LngFound == std::string::npos)
        return StgSource;
    // Built by appending, so that many replacements cost no more than one pass.
    std::string StgResult;
    std::size_t LngCopied = 0;
    for (; LngFound != std::string::npos; LngFound = StgSource.find(StgSought, LngCopied)) {
        StgResult.append(StgSource, LngCopied, LngFound - LngCopied);
        StgResult += StgReplacement;
        LngCopied = LngFound + StgSought.size();
    }
    StgResult.append(StgSource, LngCopied, std::string::npos);
    return StgResult;
}

std::string TStringTools::ToString(long LngValue)
{
    return Streamed(LngValue);
}

std::string TStringTools::ToString(int LngValue)
{
    return Streamed(LngValue);
}

std::string TStringTools::ToString(double DblValue)
{
    return Streamed(DblValue);
}

void TStringTools::Tokenize(const std::string& StgText, std::vector<std::string>& VecTokens,
                            const std::string& StgDelimiters)
{
    // A table, so that each byte is classified once whatever the set's size.
    std::array<bool, 256> BlnDelimiter{};
    for (unsigned char ChrByte : StgDelimiters)
        BlnDelimiter[ChrByte] = true;
    const auto IsDelimiter = [&](std::size_t LngPos) {
        return BlnDelimiter[static_cast<unsigned char>(StgText[LngPos])];
    };

    VecTokens.clear();
    std::size_t LngPos = 0;
    while (LngPos < StgText.size()) {
        if (IsDelimiter(LngPos)) {
            ++LngPos;
            continue;
        }
        const std::size_t LngStart = LngPos;
        while (LngPos < StgText.size() && !IsDelimiter(LngPos))
            ++LngPos;
        VecTokens.emplace_back(StgText, LngStart, LngPos - LngStart);
    }
}
