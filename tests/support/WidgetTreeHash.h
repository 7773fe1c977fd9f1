// The frame a test application's window would be given, as one number to compare runs by.
#pragma once

#include <cstdint>

#include "framework/app/KitAppBase.h"

namespace testsupport {

// FNV-1a over the widget tree drawn onto a fresh image of the application's size.
std::uint64_t HashWidgetTree(Kit::KitAppBase& app);

}  // namespace testsupport
