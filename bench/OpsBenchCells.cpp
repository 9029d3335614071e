// Cases of the cell functions as the commands' streaming engine calls them:
// row by row, on one thread, no data as the marker. Figures are per cell and
// per input.
#include <algorithm>
#include <memory>

#include "bench/OpsBench.h"
#include "ops/TCellOps.h"
#include "util/TNoData.h"

namespace {

// A band of the stack's rows, -9999 turned into the marker, as the engine
// holds its inputs.
struct TMarkedBand {
    std::size_t LngCols = 0;
    std::size_t LngRows = 0;
    std::vector<std::vector<double>> VecCells;
    std::vector<double> VecOut;

    // The inputs' row LngRow, and the output's.
    std::vector<const double*> Row(std::size_t LngRow) const
    {
        std::vector<const double*> VecRow;
        for (const std::vector<double>& VecInput : VecCells)
            VecRow.push_back(VecInput.data() + LngRow * LngCols);
        return VecRow;
    }
    double* OutRow(std::size_t LngRow) { return VecOut.data() + LngRow * LngCols; }
};

std::shared_ptr<TMarkedBand> MarkedBand(const TBenchMaps& Maps)
{
    auto PtrBand = std::make_shared<TMarkedBand>();
    PtrBand->LngCols = static_cast<std::size_t>(Maps.LngSide);
    PtrBand->LngRows = std::max<std::size_t>(1, PtrBand->LngCols / 16);
    const std::size_t LngCells = PtrBand->LngCols * PtrBand->LngRows;
    const TNoData NoData(-9999.0);
    for (const auto& PtrMap : Maps.VecStack) {
        std::vector<double> VecInput(PtrMap->GetCells(), PtrMap->GetCells() + LngCells);
        for (double& DblCell : VecInput)
            DblCell = NoData.Mark(DblCell);
        PtrBand->VecCells.push_back(std::move(VecInput));
    }
    PtrBand->VecOut.resize(LngCells);
    return PtrBand;
}

// Times Cells(inputs of a row, output row) over every row of the band.
template <class TCells>
TOpsCase RowCase(const std::string& StgName, const std::shared_ptr<TMarkedBand>& PtrBand,
                 std::size_t LngInputs, TCells Cells)
{
    const double DblCells = static_cast<double>(PtrBand->LngCols * PtrBand->LngRows * LngInputs);
    return {StgName, DblCells, [=] {
                for (std::size_t LngRow = 0; LngRow < PtrBand->LngRows; ++LngRow)
                    Cells(PtrBand->Row(LngRow).data(), PtrBand->LngCols, PtrBand->OutRow(LngRow));
            },
            ""};
}

}  // namespace

std::vector<TOpsCase> CellFunctionCases(const TBenchMaps& Maps)
{
    const std::shared_ptr<TMarkedBand> PtrBand = MarkedBand(Maps);
    const std::size_t LngInputs = PtrBand->VecCells.size();
    const double DblMarker = TNoData::Marker();
    using TInputs = const double* const*;
    return {
        RowCase("SumCells of 8, marker, per input", PtrBand, LngInputs,
                [=](TInputs PtrIn, std::size_t LngCells, double* PtrOut) {
                    TCellOps::SumCells(PtrIn, LngInputs, LngCells, TNoData::IsMarker, DblMarker,
                                       PtrOut);
                }),
        RowCase("MeanCells of 8, marker, per input", PtrBand, LngInputs,
                [=](TInputs PtrIn, std::size_t LngCells, double* PtrOut) {
                    TCellOps::MeanCells(PtrIn, LngInputs, LngCells, TNoData::IsMarker, DblMarker,
                                        PtrOut);
                }),
        RowCase("DataCountCells of 8, marker, per input", PtrBand, LngInputs,
                [=](TInputs PtrIn, std::size_t LngCells, double* PtrOut) {
                    TCellOps::DataCountCells(PtrIn, LngInputs, LngCells, TNoData::IsMarker,
                                             PtrOut);
                }),
        RowCase("SlopeCells of 8, marker, per input", PtrBand, LngInputs,
                [=](TInputs PtrIn, std::size_t LngCells, double* PtrOut) {
                    TCellOps::SlopeCells(PtrIn, LngInputs, LngCells, TNoData::IsMarker, DblMarker,
                                         PtrOut);
                }),
        RowCase("MaskCells, marker, per input", PtrBand, 2,
                [=](TInputs PtrIn, std::size_t LngCells, double* PtrOut) {
                    TCellOps::MaskCells(PtrIn[0], PtrIn[1], LngCells, TNoData::IsMarker, DblMarker,
                                        PtrOut);
                }),
        RowCase("DataCells threshold, marker", PtrBand, 1,
                [=](TInputs PtrIn, std::size_t LngCells, double* PtrOut) {
                    TCellOps::DataCells(PtrIn[0], LngCells, TCellOps::TThreshold{1000.0},
                                        TNoData::IsMarker, DblMarker, PtrOut);
                }),
        RowCase("DataCells round half away, marker", PtrBand, 1,
                [=](TInputs PtrIn, std::size_t LngCells, double* PtrOut) {
                    TCellOps::DataCells(PtrIn[0], LngCells, TCellOps::TRoundHalfAway(),
                                        TNoData::IsMarker, DblMarker, PtrOut);
                }),
    };
}
