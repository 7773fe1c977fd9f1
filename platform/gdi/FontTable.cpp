#include "platform/gdi/FontTable.h"

#include <cstring>
#include <mutex>
#include <unordered_map>

namespace plat::gdi {

namespace {

struct Table {
  std::mutex lock;
  std::unordered_map<HGDIOBJ, std::shared_ptr<GdiFont>> fonts;
  std::shared_ptr<GdiFont> stock;
};

Table& TheTable() {
  static Table table;
  return table;
}

}  // namespace

HGDIOBJ HandleOf(const GdiFont* font) { return reinterpret_cast<HGDIOBJ>(const_cast<GdiFont*>(font)); }

HFONT AddFont(std::shared_ptr<GdiFont> font) {
  Table& table = TheTable();
  const HGDIOBJ handle = HandleOf(font.get());
  std::lock_guard hold(table.lock);
  table.fonts[handle] = std::move(font);
  return reinterpret_cast<HFONT>(handle);
}

std::shared_ptr<GdiFont> FindFont(HGDIOBJ handle) {
  Table& table = TheTable();
  std::lock_guard hold(table.lock);
  auto found = table.fonts.find(handle);
  return found == table.fonts.end() ? nullptr : found->second;
}

bool RemoveFont(HGDIOBJ handle) {
  Table& table = TheTable();
  std::lock_guard hold(table.lock);
  auto found = table.fonts.find(handle);
  if (found == table.fonts.end()) return false;
  if (found->second != table.stock) table.fonts.erase(found);
  return true;
}

std::shared_ptr<GdiFont> StockFont() {
  Table& table = TheTable();
  std::lock_guard hold(table.lock);
  if (!table.stock) {
    // The system font of a fresh device context: a bold sans face of 16 pixels.
    LOGFONTA logFont{};
    logFont.lfHeight = -GdiFont::DEFAULT_EM_PIXELS;
    logFont.lfWeight = FW_BOLD;
    std::strcpy(logFont.lfFaceName, "System");
    table.stock = std::make_shared<GdiFont>(logFont);
    table.fonts[HandleOf(table.stock.get())] = table.stock;
  }
  return table.stock;
}

}  // namespace plat::gdi
