#pragma once
// No data as the commands carry it. A grid's NODATA_value is applied once,
// where its cells are read: from there on, until they are written, a cell
// that is no data holds the marker, one NaN that no arithmetic and no reader
// produces, so that a data cell of any value (NaN, -9999, the no-data value
// of another grid) is never taken for no data. The writer turns the marker
// into the output's NODATA_value.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

class TNoData {
public:
    // No NODATA_value: no cell is no data.
    TNoData() = default;
    explicit TNoData(double DblValue) : MbrBlnGiven(true), MbrDblValue(DblValue) {}
    // The toolkit's rule: only a cell equal to the value is no data, so a
    // NaN cell never is.
    static TNoData Exact(double DblValue)
    {
        TNoData NoData(DblValue);
        NoData.MbrBlnNaNMatches = false;
        return NoData;
    }

    bool Given() const { return MbrBlnGiven; }
    double Value() const { return MbrDblValue; }
    // Whether a cell of this value is no data: equal to the value, or NaN
    // under a NaN value.
    bool Matches(double DblCell) const
    {
        return MbrBlnGiven
            && (DblCell == MbrDblValue
                || (MbrBlnNaNMatches && std::isnan(DblCell) && std::isnan(MbrDblValue)));
    }

    // The marker (a quiet NaN whose payload spells NODA).
    static double Marker()
    {
        double DblValue;
        std::memcpy(&DblValue, &MarkerBits, sizeof DblValue);
        return DblValue;
    }
    // Whether a cell holds the marker, bit for bit: TNoData::IsMarker(DblCell).
    // An object rather than a function, so that passed to a loop over cells
    // as its no-data test (TCellOps) it is inlined there, always. The
    // difference is folded to 32 bits before it is compared, which plain SSE2
    // compares several at a time: such loops vectorise, where a 64-bit
    // comparison would keep them scalar.
    struct TIsMarker {
        bool operator()(double DblCell) const
        {
            std::uint64_t LngBits;
            std::memcpy(&LngBits, &DblCell, sizeof LngBits);
            const std::uint64_t LngDifference = LngBits ^ MarkerBits;
            return static_cast<std::uint32_t>(LngDifference | (LngDifference >> 32)) == 0;
        }
    };
    static constexpr TIsMarker IsMarker{};
    // A cell as read under this grid's rule: the marker for no data; a data
    // cell that happens to hold the marker's bits becomes a plain NaN.
    double Mark(double DblCell) const
    {
        if (Matches(DblCell))
            return Marker();
        return IsMarker(DblCell) ? std::nan("") : DblCell;
    }
    // Mark of each of LngCount cells, PtrIn to PtrOut (which may be the
    // same): the rule chosen once, so that each loop is branch-free and
    // vectorises.
    void MarkCells(const double* PtrIn, std::size_t LngCount, double* PtrOut) const
    {
        const double DblMarker = Marker(), DblNaN = std::nan("");
        if (MbrBlnGiven && MbrBlnNaNMatches && std::isnan(MbrDblValue)) {
            for (std::size_t i = 0; i < LngCount; ++i)
                PtrOut[i] = PtrIn[i] != PtrIn[i] ? DblMarker : PtrIn[i];
        } else {
            const double DblValue = MbrBlnGiven ? MbrDblValue : DblNaN;
            for (std::size_t i = 0; i < LngCount; ++i) {
                const double DblCell = IsMarker(PtrIn[i]) ? DblNaN : PtrIn[i];
                PtrOut[i] = PtrIn[i] == DblValue ? DblMarker : DblCell;
            }
        }
    }

private:
    static constexpr std::uint64_t MarkerBits = 0x7ff800004e4f4441;

    bool MbrBlnGiven = false;
    bool MbrBlnNaNMatches = true;
    double MbrDblValue = 0.0;
};
