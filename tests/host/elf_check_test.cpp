// The checks made on a plug-in file before it is mapped, over a real shared
// library (the sound file library this host links), copies of it cut at
// every length, and headers changed one field at a time.
#include "host/elf_check.h"

#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::string LibraryPath() {
  Dl_info info{};
  return dladdr(reinterpret_cast<void*>(&sf_open), &info) && info.dli_fname ? info.dli_fname : "";
}

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Problem(const Bytes& b) {
  return SharedObjectProblem(b.size(), [&b](uint64_t offset, size_t size, void* out) {
    if (offset > b.size() || size > b.size() - offset) return false;
    std::memcpy(out, b.data() + offset, size);
    return true;
  });
}

template <typename T>
T Get(const Bytes& b, size_t at) {
  T v;
  std::memcpy(&v, b.data() + at, sizeof v);
  return v;
}

template <typename T>
void Put(Bytes* b, size_t at, T v) {
  std::memcpy(b->data() + at, &v, sizeof v);
}

// Where the last byte any header or segment needs lies, read independently.
uint64_t NeededLength(const Bytes& b) {
  const auto h = Get<Elf64_Ehdr>(b, 0);
  uint64_t end = h.e_phoff + uint64_t(h.e_phnum) * sizeof(Elf64_Phdr);
  for (int i = 0; i < h.e_phnum; ++i) {
    const auto p = Get<Elf64_Phdr>(b, h.e_phoff + size_t(i) * sizeof(Elf64_Phdr));
    if (p.p_type != PT_NULL) end = std::max<uint64_t>(end, p.p_offset + p.p_filesz);
  }
  return end;
}

const std::string kLibrary = LibraryPath();
const Bytes kLibraryBytes = ReadAll(kLibrary);

TEST(ElfCheck, AcceptsARealSharedObjectAndRefusesEveryCutThatReachesItsSegments) {
  ASSERT_GT(kLibraryBytes.size(), sizeof(Elf64_Ehdr)) << kLibrary;
  EXPECT_EQ(Problem(kLibraryBytes), "");
  const uint64_t needed = NeededLength(kLibraryBytes);
  ASSERT_LE(needed, kLibraryBytes.size());
  // Cuts at every length near the headers, then spread over the segments.
  for (uint64_t cut = 0; cut < needed; cut += cut < 1024 ? 1 : 997) {
    EXPECT_NE(Problem(Bytes(kLibraryBytes.begin(), kLibraryBytes.begin() + long(cut))), "")
        << "cut at " << cut;
  }
  EXPECT_NE(Problem(Bytes(kLibraryBytes.begin(), kLibraryBytes.begin() + long(needed - 1))), "");
  EXPECT_EQ(Problem(Bytes(kLibraryBytes.begin(), kLibraryBytes.begin() + long(needed))), "");
}

TEST(ElfCheck, NamesWhatIsWrongWithAHeader) {
  const size_t phoff = Get<Elf64_Ehdr>(kLibraryBytes, 0).e_phoff;
  const struct {
    size_t at;
    uint64_t value;
    size_t width;
    const char* reason;
  } cases[] = {
      {0, 0x7F, 1, ""},  // unchanged
      {1, 'L', 1, "not an ELF file"},
      {EI_CLASS, ELFCLASS32, 1, "a 32-bit library"},
      {EI_CLASS, 7, 1, "not a 64-bit ELF file"},
      {EI_DATA, ELFDATA2MSB, 1, "not a little-endian"},
      {offsetof(Elf64_Ehdr, e_machine), EM_AARCH64, 2, "another processor (ELF machine 183)"},
      {offsetof(Elf64_Ehdr, e_type), ET_EXEC, 2, "not a shared library but a program"},
      {offsetof(Elf64_Ehdr, e_type), ET_REL, 2, "not a shared library but an object file"},
      {offsetof(Elf64_Ehdr, e_phentsize), 32, 2, "no usable program header table"},
      {offsetof(Elf64_Ehdr, e_phnum), 0, 2, "no usable program header table"},
      {offsetof(Elf64_Ehdr, e_phoff), ~uint64_t(0) - 8, 8,
       "the program header table ends at byte 18446744073709551615"},
      {phoff + offsetof(Elf64_Phdr, p_offset), ~uint64_t(0), 8, "segment 0 ends at byte"},
      {phoff + offsetof(Elf64_Phdr, p_filesz), ~uint64_t(0) - 1, 8, "segment 0 ends at byte"},
  };
  for (const auto& c : cases) {
    Bytes b = kLibraryBytes;
    if (c.width == 1) b[c.at] = uint8_t(c.value);
    if (c.width == 2) Put(&b, c.at, uint16_t(c.value));
    if (c.width == 8) Put(&b, c.at, c.value);
    const std::string problem = Problem(b);
    if (*c.reason == 0) {
      EXPECT_EQ(problem, "");
    } else {
      EXPECT_NE(problem.find(c.reason), std::string::npos) << c.reason << " / " << problem;
    }
  }
}

TEST(ElfCheck, RefusesAFileWithoutLoadableSegments) {
  Bytes b = kLibraryBytes;
  const auto h = Get<Elf64_Ehdr>(b, 0);
  for (int i = 0; i < h.e_phnum; ++i) {
    const size_t at = h.e_phoff + size_t(i) * sizeof(Elf64_Phdr);
    if (Get<uint32_t>(b, at) == PT_LOAD) Put(&b, at, uint32_t(PT_NOTE));
  }
  EXPECT_EQ(Problem(b), "damaged: no loadable segment");
}

}  // namespace
