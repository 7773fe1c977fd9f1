// The virtual-key codes the toolkit itself reacts to.
#pragma once

namespace Kit {

constexpr int KEYCODE_TAB = 9;
constexpr int KEYCODE_SHIFT = 16;
constexpr int KEYCODE_CONTROL = 17;

}  // namespace Kit
