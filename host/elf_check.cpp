#include "host/elf_check.h"

#include <elf.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string TypeName(uint16_t type) {
  switch (type) {
    case ET_REL: return "an object file";
    case ET_EXEC: return "a program";
    case ET_CORE: return "a core dump";
    default: return "ELF type " + std::to_string(type);
  }
}

std::string HeaderProblem(const Elf64_Ehdr& h) {
  if (h.e_ident[EI_CLASS] == ELFCLASS32) return "a 32-bit library; this host loads 64-bit ones";
  if (h.e_ident[EI_CLASS] != ELFCLASS64) return "not a 64-bit ELF file";
  if (h.e_ident[EI_DATA] != ELFDATA2LSB || h.e_ident[EI_VERSION] != EV_CURRENT) {
    return "not a little-endian ELF file of the current version";
  }
  if (h.e_machine != EM_X86_64) {
    return "built for another processor (ELF machine " + std::to_string(h.e_machine) +
           "), not x86-64";
  }
  if (h.e_type != ET_DYN) return "not a shared library but " + TypeName(h.e_type);
  if (h.e_phentsize != sizeof(Elf64_Phdr) || h.e_phnum == 0 || h.e_phnum == PN_XNUM) {
    return "damaged: no usable program header table";
  }
  return "";
}

// Whether [offset, offset + size) lies inside a file of `fileSize` bytes.
bool Inside(uint64_t offset, uint64_t size, uint64_t fileSize) {
  return offset <= fileSize && size <= fileSize - offset;
}

std::string Truncated(const std::string& what, uint64_t end, uint64_t fileSize) {
  return "truncated or damaged: " + what + " ends at byte " + std::to_string(end) +
         " but the file has " + std::to_string(fileSize);
}

}  // namespace

std::string SharedObjectProblem(uint64_t fileSize, const ReadAt& read) {
  Elf64_Ehdr h{};
  if (fileSize < SELFMAG || !read(0, SELFMAG, h.e_ident) ||
      std::memcmp(h.e_ident, ELFMAG, SELFMAG) != 0) {
    return "not an ELF file";
  }
  if (fileSize < sizeof h || !read(0, sizeof h, &h)) {
    return Truncated("the ELF header", sizeof h, fileSize);
  }
  std::string problem = HeaderProblem(h);
  if (!problem.empty()) return problem;
  const uint64_t tableSize = uint64_t(h.e_phnum) * sizeof(Elf64_Phdr);
  if (!Inside(h.e_phoff, tableSize, fileSize)) {
    // Saturates where the offset alone is already past any real file.
    uint64_t end = h.e_phoff > UINT64_MAX - tableSize ? UINT64_MAX : h.e_phoff + tableSize;
    return Truncated("the program header table", end, fileSize);
  }
  bool loadable = false;
  for (uint16_t i = 0; i < h.e_phnum; ++i) {
    Elf64_Phdr p{};
    if (!read(h.e_phoff + uint64_t(i) * sizeof p, sizeof p, &p)) return "cannot be read";
    if (p.p_type == PT_NULL) continue;
    loadable = loadable || p.p_type == PT_LOAD;
    if (!Inside(p.p_offset, p.p_filesz, fileSize)) {
      uint64_t end = p.p_offset > UINT64_MAX - p.p_filesz ? UINT64_MAX : p.p_offset + p.p_filesz;
      return Truncated("segment " + std::to_string(i), end, fileSize);
    }
  }
  return loadable ? "" : "damaged: no loadable segment";
}

std::string SharedObjectFileProblem(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  struct stat st {};
  std::string problem;
  if (fstat(fd, &st) != 0) {
    problem = std::strerror(errno);
  } else if (!S_ISREG(st.st_mode)) {
    problem = "not a regular file";
  } else {
    problem =
        SharedObjectProblem(uint64_t(st.st_size), [fd](uint64_t offset, size_t size, void* out) {
          return pread(fd, out, size, off_t(offset)) == ssize_t(size);
        });
  }
  close(fd);
  return problem;
}
