#pragma once
// Small text operations, byte by byte: no character encoding is assumed.

#include <string>
#include <vector>

class TStringTools {
public:
    // "1" gives true and "0" false, compared whole. Any other text throws
    // "Invalid boolean string in TStringTools::HasSubstring".
    static bool StgToBool(std::string StgText);

    // Whether StgPart occurs in StgText, case-sensitive. An empty part occurs
    // in every text.
    static bool HasSubstring(std::string StgText, std::string StgPart);

    // Upper-cases the letters a to z in place; every other byte stays.
    static void ToUpper(std::string& StgText);

    // Removes leading and trailing spaces in place. Only the space character
    // counts: tabs and line ends stay.
    static void Trim(std::string& StgText);

    // StgSource with each occurrence of StgSought, from left to right and
    // without overlap, replaced by StgReplacement. A replacement is never
    // searched again, so one containing StgSought replaces nothing further.
    // An empty StgSought gives StgSource unchanged.
    static std::string FindAndReplace(std::string StgSource, std::string StgSought,
                                      std::string StgReplacement);

    // The number as a stream writes it by default: plain decimal for integers,
    // %g with 6 significant digits for doubles (1234567 gives 1.23457e+06).
    static std::string ToString(long LngValue);
    static std::string ToString(int LngValue);
    static std::string ToString(double DblValue);

    // Replaces VecTokens by the tokens of StgText: its runs of bytes that are
    // not in StgDelimiters (a set of single-byte delimiters), in order. Runs
    // of delimiters count as one and none yields an empty token.
    static void Tokenize(const std::string& StgText, std::vector<std::string>& VecTokens,
                         const std::string& StgDelimiters);
};
