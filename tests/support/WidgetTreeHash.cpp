#include "tests/support/WidgetTreeHash.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widget/WidgetFlags.h"
#include "framework/widget/WidgetManager.h"

namespace testsupport {

std::uint64_t HashWidgetTree(Kit::KitAppBase& app) {
  Kit::MemoryImage image(&app);
  image.Create(app.mWidth, app.mHeight);
  Kit::Graphics g(&image);
  Kit::ModalFlags flags;
  app.mWidgetManager->InitModalFlags(flags);
  app.mWidgetManager->DrawAll(flags, &g);
  app.mWidgetManager->MarkAllDirty();  // the tree's own draw still has everything to draw
  std::uint64_t hash = 14695981039346656037ull;
  for (int i = 0; i < app.mWidth * app.mHeight; ++i) hash = (hash ^ image.GetBits()[i]) * 1099511628211ull;
  return hash;
}

}  // namespace testsupport
