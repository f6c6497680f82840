// Face-name resolution: fontconfig picks the file, s_fontnamecache remembers it.
// The module keeps a fontconfig configuration of its own, made on first use
// and destroyed at unload; the host's (the library's default one) is never
// touched.
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "base/mutex.h"
#include "base/ptrlist.h"
#include "gdi/font_resolve_p.h"

namespace {

struct FontNameEntry {
  char* name;
  bool found;
  GdiFontFile file;
};

// Enough for any program's set of face names; beyond it names are resolved uncached.
const int kMaxCacheEntries = 4096;

SkyMutex& s_fontnamecache_mutex() {
  static SkyMutex m;
  return m;
}
SkyPtrList<FontNameEntry>* s_fontnamecache;
FcConfig* s_fontconfig = nullptr;
bool s_fontconfigTried = false;

// The module's configuration; call with the cache's lock held.
FcConfig* Fontconfig() {
  if (!s_fontconfigTried) {
    s_fontconfigTried = true;
    s_fontconfig = FcInitLoadConfigAndFonts();
  }
  return s_fontconfig;
}

// Frees the cache and the configuration when the module is unloaded or the
// process ends.
struct FontNameCacheRelease {
  // The lock is made first, so that it outlives this object.
  FontNameCacheRelease() { s_fontnamecache_mutex(); }
  ~FontNameCacheRelease() {
    SkyMutexLock lock(&s_fontnamecache_mutex());
    if (s_fontconfig) FcConfigDestroy(s_fontconfig);
    s_fontconfig = nullptr;
    if (!s_fontnamecache) return;
    for (int i = 0, n = s_fontnamecache->GetSize(); i < n; ++i) {
      free(s_fontnamecache->Get(i)->name);
      free(s_fontnamecache->Get(i));
    }
    delete s_fontnamecache;
    s_fontnamecache = nullptr;
  }
} s_fontnamecacheRelease;

bool CopyString(char* dst, size_t size, const FcChar8* src) {
  if (!src) return false;
  const size_t n = strlen(reinterpret_cast<const char*>(src));
  if (n >= size) return false;
  memcpy(dst, src, n + 1);
  return true;
}

bool StripSuffix(char* name, const char* suffix) {
  const size_t n = strlen(name), s = strlen(suffix);
  if (n < s || strcmp(name + n - s, suffix) != 0) return false;
  name[n - s] = 0;
  return true;
}

bool QueryFontconfig(const char* name, GdiFontFile* out) {
  memset(out, 0, sizeof(*out));
  char family[1024];
  snprintf(family, sizeof(family), "%s", name);
  const bool italic = StripSuffix(family, " Italic");
  const bool bold = StripSuffix(family, " Bold");
  FcPattern* pat = FcPatternCreate();
  if (!pat) return false;
  FcPatternAddString(pat, FC_FAMILY,
                     reinterpret_cast<const FcChar8*>(family[0] ? family : "sans-serif"));
  FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfig* config = Fontconfig();
  if (!config) {
    FcPatternDestroy(pat);
    return false;
  }
  FcConfigSubstitute(config, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult res = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pat, &res);
  FcPatternDestroy(pat);
  if (!match) return false;
  FcChar8* str = nullptr;
  bool ok = FcPatternGetString(match, FC_FILE, 0, &str) == FcResultMatch &&
            CopyString(out->path, sizeof(out->path), str);
  if (FcPatternGetInteger(match, FC_INDEX, 0, &out->index) != FcResultMatch) out->index = 0;
  if (FcPatternGetString(match, FC_POSTSCRIPT_NAME, 0, &str) == FcResultMatch)
    CopyString(out->postscript, sizeof(out->postscript), str);
  if (!(FcPatternGetString(match, FC_FULLNAME, 0, &str) == FcResultMatch &&
        CopyString(out->display, sizeof(out->display), str)) &&
      FcPatternGetString(match, FC_FAMILY, 0, &str) == FcResultMatch)
    CopyString(out->display, sizeof(out->display), str);
  FcPatternDestroy(match);
  return ok;
}

// Index of name in the sorted cache, or the insertion point encoded as -(pos + 1).
int FindEntry(const char* name) {
  int lo = 0, hi = s_fontnamecache->GetSize();
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    const int c = strcmp(s_fontnamecache->Get(mid)->name, name);
    if (c == 0) return mid;
    if (c < 0) lo = mid + 1;
    else hi = mid;
  }
  return -(lo + 1);
}

void AddEntry(int pos, const char* name, bool found, const GdiFontFile& file) {
  if (s_fontnamecache->GetSize() >= kMaxCacheEntries) return;
  FontNameEntry* e = static_cast<FontNameEntry*>(malloc(sizeof(FontNameEntry)));
  char* key = strdup(name);
  if (!e || !key || !s_fontnamecache->Insert(pos, e)) {
    free(e);
    free(key);
    return;
  }
  e->name = key;
  e->found = found;
  e->file = file;
}

}  // namespace

bool GdiResolveFontName(const char* name, GdiFontFile* out) {
  if (!name) name = "";
  SkyMutexLock lock(&s_fontnamecache_mutex());
  if (!s_fontnamecache) s_fontnamecache = new (std::nothrow) SkyPtrList<FontNameEntry>(4096);
  if (!s_fontnamecache) return QueryFontconfig(name, out);
  const int idx = FindEntry(name);
  if (idx >= 0) {
    const FontNameEntry* e = s_fontnamecache->Get(idx);
    *out = e->file;
    return e->found;
  }
  const bool found = QueryFontconfig(name, out);
  AddEntry(-idx - 1, name, found, *out);
  return found;
}
