// A font host whose sheets are blank 64 x 16 software images (a name holding "missing" cannot be
// loaded); it records every error shown and every sheet asked for.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/font/FontHost.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/SharedImageSet.h"

namespace testsupport {

class BlankSheetFontHost : public Kit::FontHost {
 public:
  void Popup(const std::string& text) override { popups.push_back(text); }
  Kit::SharedImageRef GetSharedImage(const std::string& fileName, const std::string& variant, bool* created) override {
    requested.push_back(fileName);
    return images.GetSharedImage(fileName, variant, created);
  }

  std::vector<std::string> popups;
  std::vector<std::string> requested;
  Kit::SharedImageSet images{[](const std::string& fileName) -> std::unique_ptr<Kit::MemoryImage> {
                               if (fileName.find("missing") != std::string::npos) return nullptr;
                               auto image = std::make_unique<Kit::MemoryImage>();
                               image->Create(64, 16);
                               return image;
                             },
                             nullptr};
};

}  // namespace testsupport
