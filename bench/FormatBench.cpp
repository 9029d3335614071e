// Prints how long the number formatter takes per value, at its usual 15
// significant digits and at 6 and 17, beside std::to_chars (shortest) and
// snprintf("%.15g"), on the values grids hold.

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "util/TNumberFormat.h"

namespace {

constexpr std::size_t LngValues = 1000000;
constexpr int LngRuns = 7;

struct TValueSet {
    std::string StgName;
    std::vector<double> VecValues;
};

std::vector<double> Generate(const std::function<double(std::mt19937_64&)>& Value)
{
    std::mt19937_64 Random(42);
    std::vector<double> VecValues(LngValues);
    for (double& DblValue : VecValues)
        DblValue = Value(Random);
    return VecValues;
}

double Centi(std::mt19937_64& Random)
{
    return static_cast<double>(std::uniform_int_distribution<long>(0, 400000)(Random)) / 100;
}

double GridValue(std::mt19937_64& Random)
{
    return std::bernoulli_distribution(0.05)(Random) ? -9999.0 : Centi(Random);
}

std::vector<TValueSet> ValueSets()
{
    return {
        {"2-decimal grid values, 5% -9999", Generate(GridValue)},
        {"integers", Generate([](std::mt19937_64& Random) {
             return static_cast<double>(std::uniform_int_distribution<long>(-9999, 99999)(Random));
         })},
        {"no-data -9999 only", Generate([](std::mt19937_64&) { return -9999.0; })},
        {"grid values x 2",
         Generate([](std::mt19937_64& Random) { return GridValue(Random) * 2; })},
        {"grid values x 1.1 (17 digits)",
         Generate([](std::mt19937_64& Random) { return GridValue(Random) * 1.1; })},
        {"grid values x 1e-12 (general path)",
         Generate([](std::mt19937_64& Random) { return Centi(Random) * 1.1e-12; })},
        {"random finite doubles", Generate([](std::mt19937_64& Random) {
             for (;;) {
                 const std::uint64_t LngBits = Random();
                 double DblValue;
                 std::memcpy(&DblValue, &LngBits, sizeof DblValue);
                 if (std::isfinite(DblValue))
                     return DblValue;
             }
         })},
    };
}

// Median over several runs, in nanoseconds per value.
template <class TFormat>
double NsPerValue(const std::vector<double>& VecValues, TFormat Format)
{
    std::vector<char> VecText(VecValues.size() * (TNumberFormat::MaxLength + 1));
    std::size_t LngBytes = 0;
    const double DblSeconds = MedianSeconds(LngRuns, [&] {
        char* PtrOut = VecText.data();
        for (double DblValue : VecValues) {
            PtrOut = Format(DblValue, PtrOut);
            *PtrOut++ = ' ';
        }
        LngBytes += static_cast<std::size_t>(PtrOut - VecText.data());
    });
    if (LngBytes == 0)  // keeps the output observable
        std::puts("");
    return DblSeconds * 1e9 / static_cast<double>(VecValues.size());
}

}  // namespace

int main()
{
    const auto Write = [](double DblValue, char* PtrOut) {
        return TNumberFormat::Write(DblValue, PtrOut);
    };
    const auto Write6 = [](double DblValue, char* PtrOut) {
        return TNumberFormat::Write(DblValue, PtrOut, 6);
    };
    const auto Write17 = [](double DblValue, char* PtrOut) {
        return TNumberFormat::Write(DblValue, PtrOut, 17);
    };
    const auto ToChars = [](double DblValue, char* PtrOut) {
        return std::to_chars(PtrOut, PtrOut + TNumberFormat::MaxLength, DblValue).ptr;
    };
    const auto Printf = [](double DblValue, char* PtrOut) {
        return PtrOut + std::snprintf(PtrOut, TNumberFormat::MaxLength, "%.15g", DblValue);
    };
    const std::vector<TValueSet> VecSets = ValueSets();
    NsPerValue(VecSets.front().VecValues, Write);  // warms up caches and clock
    std::printf("ns per value, median of %d runs over %zu values\n", LngRuns, LngValues);
    std::printf("%-38s %8s %8s %8s %10s %8s\n", "values", "Write", "6 digits", "17", "to_chars",
                "%.15g");
    for (const TValueSet& Set : VecSets)
        std::printf("%-38s %8.1f %8.1f %8.1f %10.1f %8.1f\n", Set.StgName.c_str(),
                    NsPerValue(Set.VecValues, Write), NsPerValue(Set.VecValues, Write6),
                    NsPerValue(Set.VecValues, Write17), NsPerValue(Set.VecValues, ToChars),
                    NsPerValue(Set.VecValues, Printf));
}
