// HighScoreDialog: the table of the five best scores in a modal dialog with one "Ok" button. After a
// lost game it opens in record mode, which enters the game's score first (unless the game-over screen
// has already recorded it) and highlights its row; the menus open it in view mode. Closing it in
// record mode also takes the game-over screen away and brings the menu music back. The table and the
// highlighted place are the global profile store's. Main thread only.
#pragma once

#include <string>

#include "framework/widget/Dialog.h"

namespace Kit {
class KitAppBase;
}

constexpr int kHighScoreDialogId = 2;

class HighScoreDialog : public Kit::Dialog {
 public:
  enum Mode : int { kNoMode = -1, kRecordMode = 1, kViewMode = 2 };

  HighScoreDialog(std::string header, std::string lines);

  // Loads the table; in record mode also enters the application's score and saves the table.
  void LoadAndRecord(int mode);

  void Draw(Kit::Graphics* g) override;
  void ButtonDepress(int id) override;

  int mMode = kNoMode;

 private:
  void CloseAfterGameOver();
};

// Opens the table as its openers do: header "High Scores", at x, 20 pixels above the middle of the
// application, 390 by 230, loaded in the mode and registered under kHighScoreDialogId (the application
// owns it).
HighScoreDialog* OpenHighScoreDialog(Kit::KitAppBase* app, int x, int mode);
