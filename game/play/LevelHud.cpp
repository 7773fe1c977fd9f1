#include "game/play/LevelHud.h"

#include <algorithm>

#include "framework/font/Font.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "game/play/GameApp.h"
#include "game/play/ResourceIds.h"

namespace {

constexpr Kit::Color kHudColor(210, 222, 255);
// The hint bar's boxes: left edge and width, pixels; text baselines.
constexpr int kLevelBoxX = 72;
constexpr int kLevelBoxWidth = 106;
constexpr int kScoreBoxX = 220;
constexpr int kScoreBoxWidth = 358;
constexpr int kLivesBoxX = 618;
constexpr int kLivesBoxWidth = 101;
constexpr int kNumberBaselineY = 18;
constexpr int kWordBaselineY = 17;  // words sit one pixel higher than numbers
constexpr int kLivesNumberGapPx = 5;

int CentredIn(int boxX, int boxWidth, int textWidth) { return (boxWidth - textWidth) / 2 + boxX; }

}  // namespace

std::string FormatIntDecimal(int value) { return std::to_string(value); }

std::string ToLowerCopy(const std::string& text) {
  std::string lower = text;
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

void DrawLevelHud(Kit::Graphics* g, const GameApp& app) {
  Kit::Font* font = FONT_DEFAULT;
  g->SetFont(font);
  g->SetColor(kHudColor);
  if (app.mCustomLevel) {
    const std::string custom = "Custom";
    g->DrawString(custom, CentredIn(kLevelBoxX, kLevelBoxWidth, font->StringWidth(custom)), kWordBaselineY);
  } else {
    const std::string level = FormatIntDecimal(app.mLevel) + "/10";
    g->DrawString(level, CentredIn(kLevelBoxX, kLevelBoxWidth, font->StringWidth(level)), kNumberBaselineY);
  }
  const std::string score = FormatIntDecimal(app.mScore);
  g->DrawString(score, CentredIn(kScoreBoxX, kScoreBoxWidth, font->StringWidth(score)), kNumberBaselineY);

  const std::string label = "Lives ";
  const std::string reserve = FormatIntDecimal(std::max(app.mLives - 1, 0));
  const int labelWidth = font->StringWidth(label);
  const int labelX = CentredIn(kLivesBoxX, kLivesBoxWidth, labelWidth + font->StringWidth(reserve));
  g->DrawString(label, labelX, kWordBaselineY);
  g->DrawString(reserve, labelX + labelWidth + kLivesNumberGapPx, kNumberBaselineY);
}
