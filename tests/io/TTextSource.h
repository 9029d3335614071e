#pragma once
// A byte source over a text, for tests of the tokenizer and its readers.

#include <algorithm>
#include <cstring>
#include <string>

#include "io/TTokenizer.h"

// Gives the text in chunks of at most LngChunk bytes, as a pipe might.
class TTextSource : public TByteSource {
public:
    explicit TTextSource(std::string StgText, std::size_t LngChunk = 4096)
        : MbrStgText(std::move(StgText)), MbrLngChunk(LngChunk) {}

    std::size_t Read(char* PtrBuf, std::size_t LngMax) override
    {
        const std::size_t LngCount =
            std::min({LngMax, MbrLngChunk, MbrStgText.size() - MbrLngDone});
        std::memcpy(PtrBuf, MbrStgText.data() + MbrLngDone, LngCount);
        MbrLngDone += LngCount;
        return LngCount;
    }

    // What the source has not given yet.
    std::string Rest() const { return MbrStgText.substr(MbrLngDone); }

private:
    std::string MbrStgText;
    std::size_t MbrLngChunk;
    std::size_t MbrLngDone = 0;
};
