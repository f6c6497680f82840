// Vector kernels for glyph drawing.
