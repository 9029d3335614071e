#pragma once
// One command of pvxMap: its entry in the table (name, command line, what
// it writes, the options it takes) and the small class that runs it. The
// class is made from the command line, which it checks whole before any
// file is opened (a TUsageError otherwise), then runs.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class TMapArguments;
class TMapRun;

class TMapCommand {
public:
    virtual ~TMapCommand() = default;
    virtual void Run(TMapRun& Run) = 0;
};

// What a command writes: nothing but text, one grid (-o OUT), a series of
// grids (-o PATTERN, "{}" standing for 1, 2, ...), or tiles (-o PATTERN,
// "{row}" and "{col}" standing for a tile's place).
enum class TMapOutput { None, File, Pattern, Tiles };

struct TMapCommandEntry {
    const char* StgName;
    // The arguments and the command's own options, as the usage shows them.
    const char* StgUsage;
    const char* StgSummary;
    const char* StgExample;
    TMapOutput Output;
    std::size_t LngMinArguments;
    std::size_t LngMaxArguments;  // Unbounded for lists
    // The command's own options: those taking a value, the flags, and the
    // options that must be given. Every command also takes --strict, -q
    // (--quiet) and --help; one that writes grids -o, --nodata and --digits.
    std::vector<const char*> VecValueOptions;
    std::vector<const char*> VecFlags;
    std::vector<const char*> VecRequired;
    std::unique_ptr<TMapCommand> (*Make)(const TMapArguments& Args);
    // Options that take two values (--range MIN MAX).
    std::vector<const char*> VecPairOptions = {};

    static constexpr std::size_t Unbounded = static_cast<std::size_t>(-1);
};

// The table of commands, in the order --help lists them.
struct TMapCommandTable {
    static const std::vector<TMapCommandEntry>& Entries();
    // Null for a name that is no command.
    static const TMapCommandEntry* Find(const std::string& StgName);
};
