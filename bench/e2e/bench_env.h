// What the end-to-end measurements share: the programs measured, the
// environment for plug-in instances made in this process, and the relay's
// processor time.
#pragma once

#include <sys/types.h>

const char* PluginPath();
const char* RelayPath();

// Points instances made from now on at the relay on port; tickMs 0 keeps the
// product's one-second tick.
void SetPluginEnv(int port, int tickMs);

// Fixes the quantum of the PipeWire server this process points at.
bool ForcePipeWireQuantum(int quantum);

// Processor time (user and system) a process has used so far, in seconds; -1
// when it cannot be read.
double ProcessCpuSeconds(pid_t pid);
