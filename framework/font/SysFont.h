// A system font: a GDI font handle, measured through a device context and drawn through the device
// context of the destination's DirectDraw surface (made from the image's pixels when it has none, as
// with 3D on). The widgets and debug overlays fall back to it.
#pragma once

#include <string>

#include "framework/font/Font.h"
#include "platform/gdi/Gdi.h"

namespace Kit {

class KitAppBase;

class SysFont : public Font {
 public:
  SysFont(KitAppBase* app, const std::string& face, int pointSize, int charSet = DEFAULT_CHARSET, bool bold = false,
          bool italic = false, bool underline = false);
  // An independent font handle made from the other's description.
  SysFont(const SysFont& other);
  SysFont& operator=(const SysFont&) = delete;
  ~SysFont() override;

  // The font's height argument is -(pointSize x dpi / 72), with the device's vertical dpi when
  // useDeviceCaps is set and 96 otherwise.
  void Init(KitAppBase* app, const std::string& face, int pointSize, int charSet, bool bold, bool italic,
            bool underline, bool useDeviceCaps = true);

  int StringWidth(const std::string& text) override;
  void DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color, const Rect& clip) override;
  Font* Duplicate() override;

  HFONT mHFont = nullptr;
  KitAppBase* mApp = nullptr;  // not owned
};

}  // namespace Kit
