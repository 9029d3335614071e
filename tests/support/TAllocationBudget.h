#pragma once
// A budget of allocations for tests that make each allocation in turn fail.
// Linking TAllocationBudget.cpp replaces the global operator new for the
// whole executable; it is apart from the other sources so that no caller
// sees, and inlines, the replacement.

#include <atomic>

// Allocations left before the next one throws std::bad_alloc; negative: no
// limit.
extern std::atomic<long> AllocationsLeft;
