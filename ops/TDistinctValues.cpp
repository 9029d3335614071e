#include "ops/TDistinctValues.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace {

constexpr std::uint64_t SignBit = std::uint64_t{1} << 63;

// Unsigned keys that sort as the doubles do: negative values have every bit
// flipped, the others only the sign bit.
std::uint64_t KeyOf(double DblValue)
{
    std::uint64_t LngBits;
    std::memcpy(&LngBits, &DblValue, sizeof LngBits);
    return (LngBits & SignBit) ? ~LngBits : LngBits | SignBit;
}

double ValueOf(std::uint64_t LngKey)
{
    const std::uint64_t LngBits = (LngKey & SignBit) ? LngKey & ~SignBit : ~LngKey;
    double DblValue;
    std::memcpy(&DblValue, &LngBits, sizeof DblValue);
    return DblValue;
}

// Least significant byte first; a byte that every key shares needs no pass.
void RadixSort(std::vector<std::uint64_t>& VecKeys)
{
    std::vector<std::uint64_t> VecSpare(VecKeys.size());
    std::array<std::array<std::size_t, 256>, 8> ArrCounts{};
    for (std::uint64_t LngKey : VecKeys)
        for (int LngByte = 0; LngByte < 8; ++LngByte)
            ++ArrCounts[LngByte][(LngKey >> (8 * LngByte)) & 0xFF];
    for (int LngByte = 0; LngByte < 8; ++LngByte) {
        std::array<std::size_t, 256>& ArrCount = ArrCounts[LngByte];
        if (VecKeys.empty() || ArrCount[(VecKeys[0] >> (8 * LngByte)) & 0xFF] == VecKeys.size())
            continue;
        std::size_t LngStart = 0;
        for (std::size_t& LngCount : ArrCount)
            LngStart += std::exchange(LngCount, LngStart);
        for (std::uint64_t LngKey : VecKeys)
            VecSpare[ArrCount[(LngKey >> (8 * LngByte)) & 0xFF]++] = LngKey;
        VecKeys.swap(VecSpare);
    }
}

// Whether the first zero cell, columns outer and rows inner, is -0.0.
bool FirstZeroIsNegative(const TMap& Map)
{
    const double* PtrCells = Map.GetCells();
    const long LngXDim = Map.GetXDim();
    for (long LngX = 0; LngX < LngXDim; ++LngX)
        for (long LngY = 0; LngY < Map.GetYDim(); ++LngY)
            if (PtrCells[LngY * LngXDim + LngX] == 0.0)
                return std::signbit(PtrCells[LngY * LngXDim + LngX]);
    return false;
}

}  // namespace

std::map<double, long> TDistinctValues::Count(const TMap& Map)
{
    const double* PtrCells = Map.GetCells();
    const std::size_t LngCells =
        static_cast<std::size_t>(Map.GetXDim()) * static_cast<std::size_t>(Map.GetYDim());
    std::vector<std::uint64_t> VecKeys;
    VecKeys.reserve(LngCells);
    for (std::size_t LngCell = 0; LngCell < LngCells; ++LngCell)
        if (!std::isnan(PtrCells[LngCell]))
            VecKeys.push_back(KeyOf(PtrCells[LngCell]));
    RadixSort(VecKeys);

    std::map<double, long> MapCounts;
    const std::uint64_t LngNegativeZero = KeyOf(-0.0);
    const std::uint64_t LngPositiveZero = KeyOf(0.0);
    for (std::size_t LngFirst = 0; LngFirst < VecKeys.size();) {
        std::size_t LngLast = LngFirst + 1;
        while (LngLast < VecKeys.size() && VecKeys[LngLast] == VecKeys[LngFirst])
            ++LngLast;
        const std::uint64_t LngKey = VecKeys[LngFirst];
        const auto LngCount = static_cast<long>(LngLast - LngFirst);
        // -0.0 sorts just before 0.0; the two make one entry.
        if (LngKey == LngNegativeZero && LngLast < VecKeys.size()
            && VecKeys[LngLast] == LngPositiveZero) {
            std::size_t LngZerosEnd = LngLast;
            while (LngZerosEnd < VecKeys.size() && VecKeys[LngZerosEnd] == LngPositiveZero)
                ++LngZerosEnd;
            MapCounts.emplace_hint(MapCounts.end(), FirstZeroIsNegative(Map) ? -0.0 : 0.0,
                                   static_cast<long>(LngZerosEnd - LngFirst));
            LngFirst = LngZerosEnd;
            continue;
        }
        MapCounts.emplace_hint(MapCounts.end(), ValueOf(LngKey), LngCount);
        LngFirst = LngLast;
    }
    return MapCounts;
}
