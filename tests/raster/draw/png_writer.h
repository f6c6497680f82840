// Writes test PNG images with libpng, so no binary fixture is needed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngSpec {
  int width = 1, height = 1;
  int colorType = 6;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<uint8_t> palette;    // r, g, b triples
  std::vector<uint8_t> trnsAlpha;  // palette alphas
  int trnsGray = -1;               // grey key for grey images, -1: none
  std::vector<uint8_t> data;       // packed rows as stored in the file
};

std::vector<uint8_t> EncodePng(const PngSpec& spec);
bool WritePngFile(const std::string& path, const PngSpec& spec);
