#pragma once

#include <cstdint>

// Number of times global operator new (any form) has run in this process.
// The bench binary replaces operator new so that it can tell whether a timed
// frame allocates.
std::uint64_t heap_allocations();
