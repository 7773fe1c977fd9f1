// The system face widgets fall back to when they were given no font ("SansSerif", plain, at the size
// each widget asks for). The face is made by a replaceable factory, the system-font one until another
// is set: tests install a face of known metrics. With no factory (null) there is no fallback face and
// widgets draw no text of their own. Main thread only.
#pragma once

namespace Kit {

class Font;
class KitAppBase;

using FallbackFontFactory = Font* (*)(KitAppBase* app, int pointSize, int charSet);

void SetFallbackFontFactory(FallbackFontFactory factory);
FallbackFontFactory GetFallbackFontFactory();
// A new font owned by the caller, or null.
Font* MakeFallbackFont(KitAppBase* app, int pointSize, int charSet);

}  // namespace Kit
