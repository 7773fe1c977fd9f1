#include "game/front/FileBrowserList.h"

#include <algorithm>
#include <cmath>

#include "framework/app/KitAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/widget/ScrollbarWidget.h"
#include "game/play/GlyphFont.h"
#include "platform/shell/Shell.h"
#include "platform/win/files/Files.h"

namespace {

const std::u16string kUpName = u"UP";
// The beep of a list without a font: 222 Hz for 222 ms.
constexpr DWORD kNoFontBeepHz = 222;
constexpr DWORD kNoFontBeepMs = 222;
// Rows start this far below the top; text is inset as far on every side.
constexpr int kBorderPx = 4;
constexpr int kTextLeftPx = 21;
constexpr int kGlyphHeightPx = 14;
constexpr double kRowsPerWheelNotch = 5.0;

enum IconCel : int { kUpCel = 0, kFolderCel = 1, kFileCel = 2, kSelectedFileCel = 3 };

const Kit::Color kDefaultColors[6] = {{255, 255, 255}, {255, 255, 255}, {0, 0, 0},
                                      {0, 192, 0},     {0, 0, 128},     {255, 255, 255}};

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

char16_t Folded(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return Folded(x) == Folded(y); });
}

// Names in the order a player expects: letter case set aside first, then counted.
bool NameOrder(const std::u16string& a, const std::u16string& b) {
  const bool less = std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                 [](char16_t x, char16_t y) { return Folded(x) < Folded(y); });
  return less || (EqualIgnoringCase(a, b) && a < b);
}

}  // namespace

std::u16string WideFromAnsi(const std::string& text) {
  std::vector<WCHAR> buffer(text.size() + 1);
  const int written = AnsiToWide(text.c_str(), buffer.data(), static_cast<int>(buffer.size()));
  return written > 0 ? std::u16string(buffer.data()) : std::u16string();
}

std::string AnsiFromWide(const std::u16string& text) {
  // One byte per character in the ANSI code page; room for a double-byte one all the same.
  std::vector<char> buffer(2 * text.size() + 1);
  const int written = WideToAnsi(text.c_str(), buffer.data(), static_cast<int>(buffer.size()));
  return written > 0 ? std::string(buffer.data()) : std::string();
}

FileBrowserList::FileBrowserList(int id, ListWidgetListener* listener, GlyphFont* font)
    : mId(id), mListener(listener), mFont(font) {
  for (int index = 0; index < 6; ++index) SetColor(index, kDefaultColors[index]);
}

FileBrowserList::~FileBrowserList() = default;

void FileBrowserList::SetIcon(Kit::Image* image) {
  if (image != nullptr) mIcon = image;
}

void FileBrowserList::EnterFolder(std::u16string name) {
  if (mFolder.empty()) {
    while (name.size() > 1 && IsSeparator(name.back())) name.pop_back();
    mFolder = mRoot = name;
  } else {
    mFolder += u'\\';
    mFolder += name;
  }
  Refresh();
}

void FileBrowserList::GoUp() {
  if (mFolder == mRoot) return;
  const auto cut = std::find_if(mFolder.rbegin(), mFolder.rend(), IsSeparator);
  if (cut == mFolder.rend()) return;
  mFolder.erase(static_cast<std::size_t>(mFolder.rend() - cut) - 1);
  Refresh();
}

void FileBrowserList::Refresh() {
  if (mFont == nullptr) {
    Beep(kNoFontBeepHz, kNoFontBeepMs);
    return;
  }
  RemoveAllRows();
  AddRow(kUpName, false, FileBrowserEntry::kUpRow);
  const std::string folder = AnsiFromWide(mFolder);
  ListFolder(folder + "\\*.*", FileBrowserEntry::kFolderRow);
  ListFolder(folder + (mExtension.empty() ? "\\*.*" : "\\*." + AnsiFromWide(mExtension)), FileBrowserEntry::kFileRow);
  MarkDirty();
}

void FileBrowserList::ListFolder(const std::string& pattern, int kind) {
  std::vector<std::u16string> names;
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (name == "." || name == ".." || isFolder != (kind == FileBrowserEntry::kFolderRow)) continue;
    std::u16string wide = WideFromAnsi(name);
    if (kind == FileBrowserEntry::kFolderRow || PassesFilter(wide)) names.push_back(std::move(wide));
  } while (FindNextFileA(search, &found));
  FindClose(search);
  // The file system's order means nothing to a player.
  std::sort(names.begin(), names.end(), NameOrder);
  for (auto& name : names) AddRow(std::move(name), false, kind);
}

bool FileBrowserList::PassesFilter(const std::u16string& name) const {
  if (mExtension.empty()) return true;
  const std::size_t dot = name.rfind(u'.');
  return dot != std::u16string::npos && EqualIgnoringCase(std::u16string_view(name).substr(dot + 1), mExtension);
}

std::u16string FileBrowserList::GetRowName(int index) { return mRows[static_cast<std::size_t>(index)]->mName; }

int FileBrowserList::AddRow(std::u16string name, bool selected, int kind) {
  auto row = std::make_unique<FileBrowserEntry>();
  row->mName = std::move(name);
  row->mSelected = selected;
  row->mKind = kind;
  mRows.push_back(std::move(row));
  TellScrollbarRowCount();
  return GetRowCount();
}

void FileBrowserList::SetRowName(int index, std::u16string name) {
  mRows[static_cast<std::size_t>(index)]->mName = std::move(name);
  MarkDirty();
}

int FileBrowserList::GetRowCount() { return static_cast<int>(mRows.size()); }

int FileBrowserList::FindRow(const std::u16string& name) {
  for (int index = 0; index < GetRowCount(); ++index)
    if (mRows[static_cast<std::size_t>(index)]->mName == name) return index;
  return -1;
}

void FileBrowserList::RemoveRow(int index) {
  if (index != -1) {
    mRows.erase(mRows.begin() + index);
    MarkDirty();
  }
  TellScrollbarRowCount();
}

void FileBrowserList::RemoveAllRows() {
  mRows.clear();
  MarkDirty();
  TellScrollbarRowCount();
}

void FileBrowserList::SetRowSelected(int index, bool selected) {
  mRows[static_cast<std::size_t>(index)]->mSelected = selected;
  mSelectedRow = selected ? index : -1;
  MarkDirty();
}

bool FileBrowserList::IsRowSelected(int index) { return mRows[static_cast<std::size_t>(index)]->mSelected; }

int FileBrowserList::GetRowKind(int index) { return mRows[static_cast<std::size_t>(index)]->mKind; }

void FileBrowserList::SetHoverRow(int row, bool notify) {
  const int old = mHoverRow;
  mHoverRow = row;
  if (row != old && notify && mListener != nullptr) mListener->ListHiliteChanged(mId, old, row);
}

void FileBrowserList::TellScrollbarRowCount() {
  if (mScrollbar != nullptr) mScrollbar->SetMaxValue(GetRowCount());
}

void FileBrowserList::ScrollPosition(int /*scrollbarId*/, double position) {
  mScrollPos = position;
  MarkDirty();
}

void FileBrowserList::RemovedFromManager(Kit::WidgetManager* manager) {
  Kit::Widget::RemovedFromManager(manager);
  if (mListener != nullptr) mListener->ListRemoved(mId);
}

void FileBrowserList::Resize(int x, int y, int width, int height) {
  Kit::Widget::Resize(x, y, width, height);
  mPageSize = height > mRowHeight + 2 * kBorderPx ? static_cast<double>(height - 2 * kBorderPx) / mRowHeight : 1.0;
  if (mScrollbar != nullptr) mScrollbar->SetPageSize(mPageSize);
}

int FileBrowserList::RowAt(int y) const {
  // Truncated toward zero, so the few pixels above the first row still belong to it.
  const int row = static_cast<int>(static_cast<double>(y - kBorderPx) / mRowHeight + mScrollPos);
  return row < 0 || row >= static_cast<int>(mRows.size()) ? -1 : row;
}

void FileBrowserList::MouseMove(int /*x*/, int y) {
  const int row = RowAt(y);
  if (row == mHoverRow) return;
  SetHoverRow(row, true);
  MarkDirty();
  if (Kit::gKitApp != nullptr)
    Kit::gKitApp->SetCursor(row != -1 && mHandCursor ? Kit::CURSOR_HAND : Kit::CURSOR_POINTER);
}

void FileBrowserList::MouseLeave() {
  SetHoverRow(-1, true);
  MarkDirty();
  if (Kit::gKitApp != nullptr) Kit::gKitApp->SetCursor(Kit::CURSOR_POINTER);
}

void FileBrowserList::MouseDown(int /*x*/, int /*y*/, int clickCount) {
  const int row = mHoverRow;
  if (row < 0 || row >= GetRowCount() || mListener == nullptr) return;
  if (clickCount == 1) {
    if (GetRowKind(row) == FileBrowserEntry::kFileRow) SetRowSelected(row, !IsRowSelected(row));
  } else if (clickCount == 2) {
    if (GetRowKind(row) == FileBrowserEntry::kUpRow) GoUp();
    // After going up row 0 is "UP" again, so one double click never both leaves and enters a folder.
    if (row < GetRowCount() && GetRowKind(row) == FileBrowserEntry::kFolderRow) EnterFolder(GetRowName(row));
  }
}

void FileBrowserList::MouseWheel(int delta) {
  if (mScrollbar == nullptr || delta == 0) return;
  mScrollbar->SetValue(mScrollbar->mValue + (delta > 0 ? -kRowsPerWheelNotch : kRowsPerWheelNotch));
}

void FileBrowserList::Draw(Kit::Graphics* g) {
  g->SetColor(GetColorRef(kBackgroundColor));
  g->FillRect(0, 0, mWidth, mHeight);
  Kit::Graphics text(*g);
  text.ClipRect(kBorderPx, kBorderPx, mWidth - 2 * kBorderPx, mHeight - 2 * kBorderPx);
  Kit::Graphics fill(*g);
  fill.ClipRect(0, kBorderPx, mWidth, mHeight - 2 * kBorderPx);
  const int first = static_cast<int>(mScrollPos);
  const int last = std::min(first + static_cast<int>(mPageSize) + 1, GetRowCount() - 1);
  for (int index = std::max(first, 0); index <= last; ++index) DrawRow(g, &text, &fill, index);
  if (mOutline) {
    g->SetColor(GetColorRef(kOutlineColor));
    g->DrawRect(0, 0, mWidth - 1, mHeight - 1);
  }
}

void FileBrowserList::DrawRow(Kit::Graphics* g, Kit::Graphics* text, Kit::Graphics* fill, int index) {
  const FileBrowserEntry& row = *mRows[static_cast<std::size_t>(index)];
  const int top = static_cast<int>((index - mScrollPos) * mRowHeight) + kBorderPx;
  const int textOffset = (mRowHeight - kGlyphHeightPx) / 2;
  const bool hovered = index == mHoverRow;
  if (row.mSelected || (hovered && mHoverFill)) {
    fill->SetColor(GetColorRef(kSelectedFillColor));
    fill->FillRect(0, top, mWidth, mRowHeight);
  }
  const int textColor = hovered ? kHoverTextColor : row.mSelected ? kSelectedTextColor : kTextColor;
  if (mIcon != nullptr) {
    const int cel = row.mKind == FileBrowserEntry::kUpRow       ? kUpCel
                    : row.mKind == FileBrowserEntry::kFolderRow ? kFolderCel
                    : row.mSelected                             ? kSelectedFileCel
                                                                : kFileCel;
    g->DrawImageCel(mIcon, kBorderPx, top + textOffset, cel);
  }
  text->SetColor(GetColorRef(textColor));
  text->SetColorizeImages(true);
  mFont->DrawString(text, row.mName, static_cast<float>(kTextLeftPx), static_cast<float>(top + textOffset));
  text->SetColorizeImages(false);
}
