#include "ops/TValueIndex.h"

#include <cstring>

std::uint64_t TValueIndex::KeyOf(double DblValue)
{
    const double DblKey = DblValue == 0.0 ? 0.0 : DblValue;
    std::uint64_t LngKey;
    std::memcpy(&LngKey, &DblKey, sizeof LngKey);
    return LngKey;
}

TValueIndex::TValueIndex(const std::vector<double>& VecValues)
{
    // At most half full, so probes stay short and an empty slot always ends one.
    std::size_t LngSlots = 16;
    MbrLngShift = 60;
    while (LngSlots < 2 * VecValues.size()) {
        LngSlots *= 2;
        --MbrLngShift;
    }
    MbrVecSlots.resize(LngSlots);
    MbrLngMask = LngSlots - 1;
    for (std::size_t LngPosition = 0; LngPosition < VecValues.size(); ++LngPosition) {
        const double DblValue = VecValues[LngPosition];
        if (DblValue != DblValue || Find(DblValue) >= 0)
            continue;
        const std::uint64_t LngKey = KeyOf(DblValue);
        std::uint64_t LngSlot = Hash(LngKey);
        while (MbrVecSlots[LngSlot].LngPosition >= 0)
            LngSlot = (LngSlot + 1) & MbrLngMask;
        MbrVecSlots[LngSlot] = {LngKey, static_cast<long>(LngPosition)};
    }
}
