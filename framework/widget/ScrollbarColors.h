// The default colours of the scroll bar and its arrow buttons: track, face, light bevel, dark edge,
// shadow bevel, arrow.
#pragma once

namespace Kit {

constexpr int kScrollbarColorCount = 6;
constexpr int kScrollbarColors[kScrollbarColorCount][3] = {
    {232, 232, 232}, {212, 212, 212}, {255, 255, 255}, {0, 0, 0}, {132, 132, 132}, {0, 0, 0},
};

}  // namespace Kit
