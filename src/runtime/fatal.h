#pragma once

// The two conditions that end the process at once, each with a box that has no owner.

#include <cstdint>

// Internal error numbers shown in the box.
constexpr int32_t kErrorIndexAboveCount = 1;
constexpr int32_t kErrorIndexBelowOne = 4;

// The routine that releases what the program holds before the process exits.
void RegisterCleanup(void (*cleanup)());
// Makes a failed allocation end the process with the out-of-memory box.
void InstallOutOfMemoryHandler();

[[noreturn]] void ReportOutOfMemory();
// diagnostic is a word of the failing place, shown in hexadecimal.
[[noreturn]] void ReportInternalError(int32_t number, uint32_t diagnostic);
