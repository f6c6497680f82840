// Counts the heap allocations one given thread makes (any thread of the
// process, a library's own real-time thread included). A test program that
// links thread_allocations.cpp has malloc, calloc and realloc interposed for
// the whole process; the sanitizers' allocators do not allow that, so such
// programs are built only without them.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// Every thread of this process: its id and name.
std::vector<std::pair<pid_t, std::string>> ThreadsOfThisProcess();

// Calls fn and returns how many allocations thread tid made meanwhile.
int AllocationsOnThreadDuring(pid_t tid, const std::function<void()>& fn);
