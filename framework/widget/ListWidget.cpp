#include "framework/widget/ListWidget.h"

#include <algorithm>
#include <cctype>
#include <numeric>

#include "framework/app/KitAppBase.h"
#include "framework/font/Font.h"
#include "framework/font/ShownSpan.h"
#include "framework/graphics/Graphics.h"
#include "framework/widget/ScrollbarWidget.h"
#include "framework/widget/WidgetManager.h"

namespace Kit {

namespace {

constexpr int kListColorCount = 6;
constexpr int kListColors[kListColorCount][3] = {
    {255, 255, 255}, {255, 255, 255}, {0, 0, 0}, {0, 192, 0}, {0, 0, 128}, {255, 255, 255},
};
constexpr int kMargin = 4;
constexpr double kWheelLines = 5.0;

// Orders as the letters A to Z were a to z; nothing else is folded.
int CompareIgnoringCase(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int ca = std::tolower(static_cast<unsigned char>(a[i]));
    const int cb = std::tolower(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool ValidIndex(int index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

}  // namespace

ListWidget::ListWidget(int id, Font* font, ListWidgetListener* listener)
    : mId(id), mFont(font), mListener(listener), mRowHeight(font != nullptr ? font->GetHeight() : -1) {
  SetColorsRGB(kListColors, kListColorCount);
}

std::vector<ListWidget*> ListWidget::Chain() {
  ListWidget* root = this;
  std::vector<ListWidget*> seen{this};
  while (root->mPrevColumn != nullptr && std::find(seen.begin(), seen.end(), root->mPrevColumn) == seen.end()) {
    root = root->mPrevColumn;
    seen.push_back(root);
  }
  std::vector<ListWidget*> chain;
  for (ListWidget* list = root; list != nullptr && std::find(chain.begin(), chain.end(), list) == chain.end();
       list = list->mNextColumn)
    chain.push_back(list);
  return chain;
}

bool ListWidget::NextColumnFollows() {
  if (mNextColumn == nullptr) return false;
  const auto chain = Chain();
  const auto self = std::find(chain.begin(), chain.end(), this);
  const auto next = std::find(chain.begin(), chain.end(), mNextColumn);
  return next != chain.end() && next > self;
}

int ListWidget::RowHeight() {
  const int height = mRowHeight != -1 ? mRowHeight : (mFont != nullptr ? mFont->GetHeight() : 0);
  // A row of no height would put every line at once under the pointer and divide by zero.
  return height > 0 ? height : 1;
}

void ListWidget::SetAppCursor(int cursor) {
  KitAppBase* app = mManager != nullptr ? mManager->mApp : gKitApp;
  if (app != nullptr) app->SetCursor(cursor);
}

std::string ListWidget::GetSortKey(int index) {
  std::string key = GetStringAt(index);
  if (static_cast<int>(key.size()) < mKeyPadWidth) key.insert(0, mKeyPadWidth - key.size(), '0');
  if (!NextColumnFollows()) return key;
  const std::string childKey = mNextColumn->GetSortKey(index);
  return mChildKeyFirst ? childKey + key : key + childKey;
}

void ListWidget::Sort(bool ascending) {
  const int count = static_cast<int>(mRows.size());
  std::vector<std::string> keys(count);
  for (int i = 0; i < count; ++i) keys[i] = GetSortKey(i);
  std::vector<int> order(count);
  std::iota(order.begin(), order.end(), 0);
  // Byte-wise key order; lines with equal keys keep their order (the order an exchange sort gives,
  // without its quadratic time on long lists).
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return ascending ? keys[a] < keys[b] : keys[a] > keys[b]; });
  for (ListWidget* list : Chain()) {
    std::vector<std::string> rows;
    std::vector<Color> colors;
    for (int from : order) {
      rows.push_back(ValidIndex(from, list->mRows.size()) ? list->mRows[from] : std::string());
      colors.push_back(ValidIndex(from, list->mRowColors.size()) ? list->mRowColors[from] : list->GetColorRef(2));
    }
    list->mRows = std::move(rows);
    list->mRowColors = std::move(colors);
    list->MarkDirty();
  }
}

std::string ListWidget::GetStringAt(int index) {
  return ValidIndex(index, mRows.size()) ? mRows[index] : std::string();
}

int ListWidget::AddLine(const std::string& text, bool alphabetical) {
  int index = static_cast<int>(mRows.size());
  if (alphabetical) {
    for (int i = 0; i < static_cast<int>(mRows.size()); ++i) {
      if (CompareIgnoringCase(mRows[i], text) > 0) {
        index = i;
        break;
      }
    }
  }
  const Color color = GetColorRef(2);
  for (ListWidget* list : Chain()) {
    // Columns kept out of step by their owner get the line at their end rather than past it.
    const std::size_t at = std::min<std::size_t>(index, list->mRows.size());
    list->mRows.insert(list->mRows.begin() + at, list == this ? text : std::string("-"));
    const std::size_t colorAt = std::min<std::size_t>(index, list->mRowColors.size());
    list->mRowColors.insert(list->mRowColors.begin() + colorAt, color);
    list->MarkDirty();
  }
  if (mScrollbar != nullptr) mScrollbar->SetMaxValue(static_cast<double>(mRows.size()));
  return index;
}

void ListWidget::SetLine(int index, const std::string& text) {
  if (!ValidIndex(index, mRows.size())) return;
  mRows[index] = text;
  MarkDirty();
}

int ListWidget::GetLineCount() { return static_cast<int>(mRows.size()); }

int ListWidget::GetLineIdx(const std::string& text) {
  auto it = std::find(mRows.begin(), mRows.end(), text);
  return it == mRows.end() ? -1 : static_cast<int>(it - mRows.begin());
}

void ListWidget::SetLineColor(const std::string& text, const Color& color) {
  const int index = GetLineIdx(text);
  if (index == -1) return;
  for (ListWidget* list : Chain()) {
    if (!ValidIndex(index, list->mRowColors.size())) continue;
    list->mRowColors[index] = color;
    list->MarkDirty();
  }
}

void ListWidget::RemoveLine(int index) {
  if (index < 0) return;
  for (ListWidget* list : Chain()) {
    if (ValidIndex(index, list->mRows.size())) list->mRows.erase(list->mRows.begin() + index);
    if (ValidIndex(index, list->mRowColors.size())) list->mRowColors.erase(list->mRowColors.begin() + index);
    list->MarkDirty();
  }
  if (mScrollbar != nullptr) mScrollbar->SetMaxValue(static_cast<double>(mRows.size()));
}

void ListWidget::RemoveAll() {
  for (ListWidget* list : Chain()) {
    list->mRows.clear();
    list->mRowColors.clear();
    list->mHoverRow = -1;
    list->mSelectedRow = -1;
    list->MarkDirty();
  }
  if (mScrollbar != nullptr) mScrollbar->SetMaxValue(0);
}

int ListWidget::GetOptimalWidth() {
  int widest = 0;
  if (mFont != nullptr)
    for (const std::string& row : mRows) widest = std::max(widest, mFont->StringWidth(row));
  return widest + 16;
}

int ListWidget::GetOptimalHeight() { return RowHeight() * static_cast<int>(mRows.size()) + 8; }

void ListWidget::SetSelect(int index) {
  for (ListWidget* list : Chain()) {
    list->mSelectedRow = index;
    list->MarkDirty();
  }
}

void ListWidget::SetHilite(int index, bool notify) {
  const int old = mHoverRow;
  mHoverRow = index;
  if (old != index && notify && mListener != nullptr) mListener->ListHiliteChanged(mId, old, index);
}

void ListWidget::ScrollPosition(int scrollbarId, double position) {
  if (NextColumnFollows()) mNextColumn->ScrollPosition(scrollbarId, position);
  mScrollPos = position;
  MarkDirty();
}

void ListWidget::OrderInManagerChanged() {
  if (mManager == nullptr) return;
  if (mNextColumn != nullptr) mManager->PutInFront(mNextColumn, this);
  if (mScrollbar != nullptr) mManager->PutInFront(mScrollbar, this);
}

void ListWidget::RemovedFromManager(WidgetManager* manager) {
  Widget::RemovedFromManager(manager);
  if (mListener != nullptr) mListener->ListRemoved(mId);
}

void ListWidget::Resize(int x, int y, int width, int height) {
  Widget::Resize(x, y, width, height);
  const int rowHeight = RowHeight();
  mVisibleRows = height > rowHeight + 8 ? static_cast<double>(height - 8) / rowHeight : 1.0;
  if (mScrollbar != nullptr) mScrollbar->SetPageSize(mVisibleRows);
}

void ListWidget::Draw(Graphics* g) {
  g->SetColor(GetColorRef(0));
  g->FillRect(0, 0, mWidth, mHeight);

  Graphics text(*g);
  text.ClipRect(kMargin, kMargin, mWidth - 2 * kMargin, mHeight - 2 * kMargin);
  text.SetFont(mFont);
  Graphics fill(*g);
  fill.ClipRect(0, kMargin, mWidth, mHeight - 2 * kMargin);

  const int rowHeight = RowHeight();
  const int count = static_cast<int>(mRows.size());
  const int first = std::max(0, static_cast<int>(mScrollPos));
  const int last = std::min(first + static_cast<int>(mVisibleRows) + 1, count - 1);
  const int fontHeight = mFont != nullptr ? mFont->GetHeight() : 0;
  const int offset = mRowHeight != -1 ? (mRowHeight - fontHeight) / 2 : 0;
  const int ascent = mFont != nullptr ? mFont->GetAscent() : 0;
  for (int i = first; i <= last; ++i) {
    const int y = static_cast<int>((i - mScrollPos) * rowHeight);
    if (i == mSelectedRow || (i == mHoverRow && mFillHoveredRow)) {
      fill.SetColor(GetColorRef(4));
      fill.FillRect(0, y + kMargin, mWidth, rowHeight);
    }
    if (mFont == nullptr) continue;
    if (i == mHoverRow)
      text.SetColor(GetColorRef(3));
    else if (i == mSelectedRow && mColors.size() > 5)
      text.SetColor(GetColorRef(5));
    else
      text.SetColor(ValidIndex(i, mRowColors.size()) ? mRowColors[i] : GetColorRef(2));
    const int width = mFont->StringWidth(mRows[i]);
    int x = kMargin;
    if (mTextAlign == JUSTIFY_CENTER)
      x = (mWidth - width) / 2;
    else if (mTextAlign != JUSTIFY_LEFT)
      x = mWidth - width - kMargin;
    // Only the part of the line that can show inside the margins is handed to the font, where the whole
    // line puts it: a line many times the list's width would otherwise fill an image font's glyph
    // records with letters outside the list before it reached the visible ones.
    const ShownSpan shown = SpanShownBetween(*mFont, mRows[i], x, kMargin, mWidth - kMargin);
    text.DrawString(mRows[i].substr(shown.mFirst, shown.mCount), shown.mX, y + kMargin + offset + ascent);
  }

  if (mShowBorder) {
    g->SetColor(GetColorRef(1));
    g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
  }
}

void ListWidget::MouseMove(int, int y) {
  int index = static_cast<int>((y - kMargin) / static_cast<double>(RowHeight()) + mScrollPos);
  if (index < 0 || index >= static_cast<int>(mRows.size())) index = -1;
  if (index == mHoverRow) return;
  for (ListWidget* list : Chain()) {
    list->SetHilite(index, true);
    list->MarkDirty();
  }
  SetAppCursor(index != -1 && mFingerOnHover ? CURSOR_HAND : CURSOR_POINTER);
}

void ListWidget::MouseDown(int x, int y, int clickCount) {
  Widget::MouseDown(x, y, clickCount);
  if (mHoverRow != -1 && mListener != nullptr) mListener->ListLineClicked(mId, mHoverRow, clickCount);
}

void ListWidget::MouseLeave() {
  for (ListWidget* list : Chain()) {
    list->SetHilite(-1, true);
    list->MarkDirty();
  }
  SetAppCursor(CURSOR_POINTER);
}

void ListWidget::MouseWheel(int delta) {
  if (mScrollbar == nullptr || delta == 0) return;
  mScrollbar->SetValue(mScrollbar->mValue + (delta > 0 ? -kWheelLines : kWheelLines));
}

}  // namespace Kit
