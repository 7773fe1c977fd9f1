#include "framework/graphics/Color.h"

namespace Kit {

// Constant-initialised, so they exist before any other static object's constructor runs.
constinit const Color Color::Black(0, 0, 0, 255);
constinit const Color Color::White(255, 255, 255, 255);

}  // namespace Kit
