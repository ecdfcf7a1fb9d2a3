#pragma once

// This test program replaces the global operator new, so that a scenario can count its
// allocations and make exactly one of them fail. It must not share a binary with other tests.

#include <cstdint>

namespace fault {

// Counts every allocation from now on (the first is number 1). When failAt is not 0, that
// allocation fails as an exhausted heap would: the installed new handler is called (the
// program's out-of-memory stop), or std::bad_alloc is thrown when there is none. Counting ends
// at the failure.
void StartCounting(uint64_t failAt = 0);
// Ends counting; returns the number of allocations counted.
uint64_t StopCounting();
// True when the allocation chosen by StartCounting has failed.
bool AllocationFailed();
// Called at every counted allocation with its number; its own allocations are not counted.
void SetAllocationObserver(void (*observer)(uint64_t number));

// Leaves the allocations of a test's own steps (inspecting windows, keeping records) out of the
// count while it lives, so the numbers are the program's and the platform's alone.
struct NotCounted {
    NotCounted();
    ~NotCounted();
    NotCounted(const NotCounted&) = delete;
    NotCounted& operator=(const NotCounted&) = delete;
    bool wasPaused;
};

}  // namespace fault
