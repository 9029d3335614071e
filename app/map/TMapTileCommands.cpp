// Tiles: a grid cut into tiles that overlap, for processing apart (on other
// cores, other machines), and tiles put back on one grid.
#include <algorithm>
#include <climits>
#include <fstream>
#include <iostream>
#include <map>

#include "app/engine/TBlockJob.h"
#include "app/engine/TMosaic.h"
#include "app/engine/TTileSplit.h"
#include "app/map/TMapArguments.h"
#include "app/map/TMapCommands.h"
#include "app/map/TMapRun.h"
#include "io/TGridReader.h"
#include "util/TError.h"

namespace {

long Overlap(const TMapArguments& Args)
{
    return Args.Has("--overlap") ? Args.Whole(Args.Value("--overlap"), "--overlap", 0, LONG_MAX) : 0;
}

// LngNumber with zeros before it to the width of LngLargest, so that names
// sort in the order of the numbers.
std::string Padded(long LngNumber, long LngLargest)
{
    const std::string StgNumber = std::to_string(LngNumber);
    return std::string(std::to_string(LngLargest).size() - StgNumber.size(), '0') + StgNumber;
}

void ReplaceAll(std::string& StgText, const std::string& StgFrom, const std::string& StgTo)
{
    for (std::size_t LngAt = 0; (LngAt = StgText.find(StgFrom, LngAt)) != std::string::npos; LngAt += StgTo.size())
        StgText.replace(LngAt, StgFrom.size(), StgTo);
}

// The grid outputs of the tiles, opened and finished as the split asks.
class TTileOutputs : public TTileSplit::TTargets {
public:
    TTileOutputs(TMapRun& Run, const std::string& StgPattern, const TTileLayout& Layout, const TRowSource& Input,
                 double DblNoData)
        : MbrRun(Run), MbrStgPattern(StgPattern), MbrLayout(Layout), MbrFrame(Input.Frame()), MbrCrs(Input.Crs()),
          MbrDblNoData(DblNoData)
    {
    }

    // The pattern's {row} and {col} as the tile's numbers from 1, zero-padded.
    std::string Name(long LngTileRow, long LngTileCol) const
    {
        std::string StgName = MbrStgPattern;
        ReplaceAll(StgName, "{row}", Padded(LngTileRow + 1, MbrLayout.TileRows()));
        ReplaceAll(StgName, "{col}", Padded(LngTileCol + 1, MbrLayout.TileCols()));
        return StgName;
    }

    TRowConsumer& Open(long LngTileRow, long LngTileCol) override
    {
        const TTileLayout::TSpan Rows = MbrLayout.Rows(LngTileRow);
        const TTileLayout::TSpan Cols = MbrLayout.Cols(LngTileCol);
        TGridOutput& Output = MbrRun.OpenGrid(Name(LngTileRow, LngTileCol), MbrCrs,
                                              MbrFrame.Block(Rows.LngFirst, Rows.LngLast, Cols.LngFirst, Cols.LngLast),
                                              MbrDblNoData);
        MbrMapOpen[{LngTileRow, LngTileCol}] = &Output;
        return Output.Consumer();
    }

    void Close(long LngTileRow, long LngTileCol) override
    {
        const auto It = MbrMapOpen.find({LngTileRow, LngTileCol});
        MbrRun.FinishGrid(*It->second);
        MbrMapOpen.erase(It);
    }

private:
    TMapRun& MbrRun;
    std::string MbrStgPattern;
    const TTileLayout& MbrLayout;
    TGridFrame MbrFrame;
    TGridCrs MbrCrs;
    double MbrDblNoData;
    std::map<std::pair<long, long>, TGridOutput*> MbrMapOpen;
};

class TTile : public TMapCommand {
public:
    explicit TTile(const TMapArguments& Args)
        : MbrArgs(Args), MbrLngSize(Args.Whole(Args.Value("--size"), "--size", 1, LONG_MAX)), MbrLngOverlap(Overlap(Args))
    {
    }

    void Run(TMapRun& Run) override
    {
        const TMapRun::TSourcePtr PtrInput = Run.Open(MbrArgs.Argument(0));
        const TGridFrame& Frame = PtrInput->Frame();
        if (Frame.LngCols == 0 || Frame.LngRows == 0)
            throw TError(PtrInput->Shown() + " has no cells to cut into tiles");
        const double DblNoData = Run.OutputNoData(*PtrInput);
        const TTileLayout Layout(Frame.LngRows, Frame.LngCols, MbrLngSize, MbrLngOverlap);
        TTileOutputs Outputs(Run, MbrArgs.Output(), Layout, *PtrInput, DblNoData);
        TTileSplit Split(Layout, Frame.LngCols, Outputs);
        Run.Scan({PtrInput.get()}, {Frame.LngCols, Frame.LngRows}, TBlockJob(0, 0, Frame.LngCols), Split,
                 "writing the tiles of " + PtrInput->Shown());
        for (long LngRow = 0; LngRow < Layout.TileRows(); ++LngRow)
            for (long LngCol = 0; LngCol < Layout.TileCols(); ++LngCol)
                Run.AfterCommit(Outputs.Name(LngRow, LngCol));
    }

private:
    const TMapArguments& MbrArgs;
    long MbrLngSize;
    long MbrLngOverlap;
};

// The names a list file holds, one a line, blank lines skipped ("-":
// standard input).
std::vector<std::string> ReadList(const std::string& StgList)
{
    std::ifstream File;
    if (StgList != "-")
        File = TGridReader::OpenFile(StgList);
    std::istream& Input = StgList == "-" ? std::cin : File;
    std::vector<std::string> VecNames;
    for (std::string StgLine; std::getline(Input, StgLine);) {
        if (!StgLine.empty() && StgLine.back() == '\r')
            StgLine.pop_back();
        if (StgLine.find_first_not_of(" \t") != std::string::npos)
            VecNames.push_back(StgLine);
    }
    if (Input.bad())
        throw TFileError("Unable to read file " + StgList);
    return VecNames;
}

class TMosaicCommand : public TMapCommand {
public:
    explicit TMosaicCommand(const TMapArguments& Args) : MbrArgs(Args), MbrLngOverlap(Overlap(Args))
    {
        if (Args.Arguments().empty() && !Args.Has("--from"))
            Args.Fail("no tiles given: name them, or a file that lists them with --from");
        if (std::count(Args.Arguments().begin(), Args.Arguments().end(), "-") > 0)
            Args.Fail("a tile cannot be standard input (-): each tile is read twice");
    }

    void Run(TMapRun& Run) override
    {
        const std::vector<std::string> VecNames = Names();
        // The headers first, each tile closed again: thousands may be given.
        std::vector<TGridFrame> VecFrames;
        TGridCrs Crs;
        double DblNoData = 0.0;
        for (const std::string& StgName : VecNames) {
            const TMapRun::TSourcePtr PtrTile = Run.Open(StgName);
            VecFrames.push_back(PtrTile->Frame());
            if (VecFrames.size() == 1) {
                Crs = PtrTile->Crs();
                DblNoData = Run.OutputNoData(*PtrTile);
            }
        }
        const TMosaicPlan Plan(VecNames, VecFrames, MbrLngOverlap);
        const auto Open = [&](std::size_t LngTile) {
            TMapRun::TSourcePtr PtrTile = Run.Open(VecNames[LngTile]);
            PtrTile->ReadOnce();
            return PtrTile;
        };
        Run.WriteGrid(MbrArgs.Output(), Crs, Plan.Frame(), DblNoData, [&](TRowConsumer& Consumer, TProgress* PtrProgress) {
            TMosaic(Plan, Open, TMosaic::DefaultBlockRows(Plan.Frame().LngCols)).Run(Consumer, PtrProgress);
        });
    }

private:
    // The tiles named as arguments, then those of the list.
    std::vector<std::string> Names() const
    {
        std::vector<std::string> VecNames = MbrArgs.Arguments();
        if (!MbrArgs.Has("--from"))
            return VecNames;
        const std::string& StgList = MbrArgs.Value("--from");
        const std::string StgShown = StgList == "-" ? "standard input" : StgList;
        for (const std::string& StgName : ReadList(StgList)) {
            if (StgName == "-")
                throw TError(StgShown + ": a tile cannot be standard input (-): each tile is read twice");
            VecNames.push_back(StgName);
        }
        if (VecNames.empty())
            throw TError(StgShown + " lists no tiles");
        return VecNames;
    }

    const TMapArguments& MbrArgs;
    long MbrLngOverlap;
};

}  // namespace

namespace TMapCommands {

std::unique_ptr<TMapCommand> Tile(const TMapArguments& Args) { return std::make_unique<TTile>(Args); }
std::unique_ptr<TMapCommand> Mosaic(const TMapArguments& Args) { return std::make_unique<TMosaicCommand>(Args); }

}  // namespace TMapCommands
