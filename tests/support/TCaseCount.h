#pragma once
// A tally of checked cases of one kind (round trips, injected faults) over a
// test run, printed once when the run ends.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

class TCaseCount : public ::testing::Environment {
public:
    explicit TCaseCount(const std::string& StgLabel) : MbrStgLabel(StgLabel) {}

    void Add() { ++MbrLngCount; }
    void TearDown() override
    {
        if (MbrLngCount > 0)
            std::printf("[ figures  ] %s: %ld\n", MbrStgLabel.c_str(), MbrLngCount);
    }

private:
    std::string MbrStgLabel;
    long MbrLngCount = 0;
};

// A tally registered with the test run; meant for a namespace-scope
// reference, initialised before main.
inline TCaseCount& RegisterCaseCount(const std::string& StgLabel)
{
    return *static_cast<TCaseCount*>(
        ::testing::AddGlobalTestEnvironment(new TCaseCount(StgLabel)));
}
