// Counts the heap allocations of the calling thread. A test program that
// links alloc_counter.cpp has malloc, calloc and realloc interposed for the
// whole process, modules it loads included (operator new allocates through
// malloc). The sanitizers' own allocators do not allow that, so such programs
// are built only without them.
#pragma once

#include <functional>

// Calls fn and returns how many allocations the calling thread made in it.
int AllocationsDuring(const std::function<void()>& fn);
