// Checks a plug-in library before it is mapped. dlopen trusts the file: one
// that is cut short faults with a bus error when a segment past its end is
// first touched, so the headers are read and checked here first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Copies `size` bytes at `offset` of the file to `out`; false when they are
// not all in the file.
using ReadAt = std::function<bool(uint64_t offset, size_t size, void* out)>;

// Why a file of `fileSize` bytes, read through `read`, is not an x86-64 ELF
// shared object whose program headers and segments lie inside it; empty when
// it is one.
std::string SharedObjectProblem(uint64_t fileSize, const ReadAt& read);

// The same for the file at `path` (also when it cannot be opened or read).
std::string SharedObjectFileProblem(const std::string& path);
