// The virtual-key codes the toolkit itself reacts to.
#pragma once

namespace Kit {

constexpr int kKeyCodeTab = 9;
constexpr int kKeyCodeShift = 16;
constexpr int kKeyCodeControl = 17;

}  // namespace Kit
