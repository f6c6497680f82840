// Program (FXP) and bank (FXB) files as bytes: big-endian headers with
// four-character magics, then an opaque chunk or normalised parameter values.
// Readers check every size against the bytes present and never trust a count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One program: an FXP file, or one record of a program-list bank.
struct FxProgram {
  int32_t uniqueId = 0;
  int32_t pluginVersion = 0;  // decimal form
  int32_t numParams = 0;
  std::string name;      // at most 27 characters are written
  bool isChunk = false;  // "FPCh" (chunk) or "FxCk" (parameter values)
  std::vector<uint8_t> chunk;
  std::vector<float> params;  // parameter form: one value per parameter
};

// One bank: an FXB file.
struct FxBank {
  int32_t uniqueId = 0;
  int32_t pluginVersion = 0;
  int32_t numPrograms = 0;
  int32_t currentProgram = 0;
  bool isChunk = false;  // "FBCh" (chunk) or "FxBk" (program list)
  std::vector<uint8_t> chunk;
  std::vector<FxProgram> programs;  // program-list form
};

// Serialises a program file; the parameter form writes `params`.
std::vector<uint8_t> WriteFxProgram(const FxProgram& program);
// Serialises a bank file; the program-list form writes every record of `programs`.
std::vector<uint8_t> WriteFxBank(const FxBank& bank);

// Parses a program file. False with a one-line reason in *error when the bytes
// are not a well-formed program file.
bool ReadFxProgram(const uint8_t* data, size_t size, FxProgram* program, std::string* error);
// Parses a bank file, the same way.
bool ReadFxBank(const uint8_t* data, size_t size, FxBank* bank, std::string* error);
