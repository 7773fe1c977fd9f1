#include "framework/widget/FallbackFont.h"

namespace Kit {

namespace {

FallbackFontFactory gFactory = nullptr;

}  // namespace

void SetFallbackFontFactory(FallbackFontFactory factory) { gFactory = factory; }

FallbackFontFactory GetFallbackFontFactory() { return gFactory; }

Font* MakeFallbackFont(KitAppBase* app, int pointSize, int charSet) {
  return gFactory != nullptr ? gFactory(app, pointSize, charSet) : nullptr;
}

}  // namespace Kit
