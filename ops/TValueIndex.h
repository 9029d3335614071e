#pragma once
// Exact-equality lookup of doubles in a fixed set, by hashing: a few
// nanoseconds a lookup, whatever the size of the set. Values are equal as
// doubles are: 0.0 and -0.0 are one value, and NaN is never found. Internal
// to the operations; not installed.

#include <cstdint>
#include <vector>

class TValueIndex {
public:
    // The values to find; a value given twice keeps its first position.
    explicit TValueIndex(const std::vector<double>& VecValues);

    // The position in the given values of one equal to DblValue, or -1.
    long Find(double DblValue) const
    {
        if (DblValue != DblValue)
            return -1;
        const std::uint64_t LngKey = KeyOf(DblValue);
        for (std::uint64_t LngSlot = Hash(LngKey);; LngSlot = (LngSlot + 1) & MbrLngMask) {
            const TSlot& Slot = MbrVecSlots[LngSlot];
            if (Slot.LngPosition < 0 || Slot.LngKey == LngKey)
                return Slot.LngPosition;
        }
    }

private:
    struct TSlot {
        std::uint64_t LngKey = 0;
        long LngPosition = -1;
    };

    // The bits of the value, -0.0 taken as 0.0.
    static std::uint64_t KeyOf(double DblValue);
    std::uint64_t Hash(std::uint64_t LngKey) const
    {
        // The high bits of the product depend on every bit of the key.
        return (LngKey * 0x9E3779B97F4A7C15ULL) >> MbrLngShift;
    }

    std::vector<TSlot> MbrVecSlots;
    std::uint64_t MbrLngMask = 0;
    int MbrLngShift = 64;
};
