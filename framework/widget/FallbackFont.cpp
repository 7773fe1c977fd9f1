#include "framework/widget/FallbackFont.h"

#include "framework/font/SysFont.h"

namespace Kit {

namespace {

Font* MakeSystemFace(KitAppBase* app, int pointSize, int charSet) {
  return new SysFont(app, "SansSerif", pointSize, charSet, false, false, false);
}

FallbackFontFactory gFactory = MakeSystemFace;

}  // namespace

void SetFallbackFontFactory(FallbackFontFactory factory) { gFactory = factory; }

FallbackFontFactory GetFallbackFontFactory() { return gFactory; }

Font* MakeFallbackFont(KitAppBase* app, int pointSize, int charSet) {
  return gFactory != nullptr ? gFactory(app, pointSize, charSet) : nullptr;
}

}  // namespace Kit
