// The font handles of the GDI layer: each live HFONT names one GdiFont. A handle that is not in the
// table (deleted, never made) is refused by every call. Fonts are shared, so a font deleted while it
// is selected into a device context stays usable there until it is deselected.
#pragma once

#include <memory>

#include "platform/gdi/GdiFont.h"

namespace plat::gdi {

[[nodiscard]] HFONT AddFont(std::shared_ptr<GdiFont> font);
// Null for a handle that names no font.
[[nodiscard]] std::shared_ptr<GdiFont> FindFont(HGDIOBJ handle);
// False for a handle that names no font. The stock font cannot be removed (and reports success).
bool RemoveFont(HGDIOBJ handle);
// The font every new device context starts with.
[[nodiscard]] std::shared_ptr<GdiFont> StockFont();
[[nodiscard]] HGDIOBJ HandleOf(const GdiFont* font);

}  // namespace plat::gdi
