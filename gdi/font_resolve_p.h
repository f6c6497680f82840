// Face-name resolution through fontconfig, cached by name.
#pragma once

// A font file chosen for a face name.
struct GdiFontFile {
  char path[1024];
  int index;
  char postscript[256];
  char display[256];
};

// Resolves a face name (with an optional " Bold" and/or " Italic" suffix, in that
// order) to a font file; an empty name resolves the label font ("sans-serif").
// Results are cached. False when no font could be found at all.
bool GdiResolveFontName(const char* name, GdiFontFile* out);
