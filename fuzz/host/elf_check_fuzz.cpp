// Any bytes as a plug-in file: the check must answer without reading outside
// the input, and accept nothing shorter than an ELF header and its program
// header table.
#include <elf.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/elf_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string problem =
      SharedObjectProblem(size, [data, size](uint64_t offset, size_t n, void* out) {
        if (offset > size || n > size - offset) return false;
        std::memcpy(out, data + offset, n);
        return true;
      });
  if (problem.empty() && size < sizeof(Elf64_Ehdr) + sizeof(Elf64_Phdr)) std::abort();
  return 0;
}
