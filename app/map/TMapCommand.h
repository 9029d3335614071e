#pragma once
// One command of pvxMap: its name, its command line, and the handler that
// parses its arguments and calls the toolkit.

#include <cstddef>

class TMapArguments;

struct TMapCommand {
    const char* StgName;
    // The arguments and options after the name, as the usage shows them.
    const char* StgUsage;
    const char* StgSummary;
    const char* StgExample;
    // The options that take a value, and the flags, each name followed by
    // a space (--strict, -q, --quiet and --help are every command's).
    const char* StgValueOptions;
    const char* StgFlags;
    std::size_t LngMinArguments;
    std::size_t LngMaxArguments;  // Unbounded for lists
    void (*Handler)(const TMapArguments& Args);

    static constexpr std::size_t Unbounded = static_cast<std::size_t>(-1);
};

// The table of commands, in the order --help lists them.
struct TMapCommandTable {
    static const TMapCommand* Begin();
    static const TMapCommand* End();
    // Null for a name that is no command.
    static const TMapCommand* Find(const char* StgName);
};
