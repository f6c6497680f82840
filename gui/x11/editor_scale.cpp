#include "gui/x11/editor_scale.h"

#include <cmath>
#include <cstdlib>

int EditorScaleFromFactor(double factor) {
  if (!std::isfinite(factor) || factor <= 0.0) return 1;
  return factor >= 1.5 ? 2 : 1;
}

int EditorScaleFromEnvironment() {
  const char* pText = getenv("GDK_SCALE");
  if (!pText || !*pText) return 1;
  char* pEnd = nullptr;
  const double factor = strtod(pText, &pEnd);
  if (pEnd == pText || *pEnd) return 1;
  return EditorScaleFromFactor(factor);
}
