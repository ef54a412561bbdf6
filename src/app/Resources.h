#pragma once

#include <QString>

namespace kitebar::app {

// Command ids of the menu and the accelerators. The standard commands keep
// their customary numbers so that the ids read the same everywhere.
namespace command {
inline constexpr int kPredictionStart = 32771;
inline constexpr int kSimulationSettings = 32772;
inline constexpr int kWinningDataManagement = 32775;
inline constexpr int kEvaluation = 32776;
inline constexpr int kImportCsvFile = 32777;
inline constexpr int kPasteResults = 32778;
inline constexpr int kOpenDataFolder = 32779;
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileSave = 57603;
inline constexpr int kFilePrint = 57607;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;
}  // namespace command

// The window title, which is also the caption of every message box.
inline QString ApplicationTitle() {
  return QStringLiteral("Kitebar -ナンバーズシミュレータ-");
}

inline QString HistoryLoadFailedText() {
  return QStringLiteral("当選番号の取得に失敗しました。");
}

// What the status bar's message pane shows while no menu is open.
inline QString IdlePrompt() {
  return QStringLiteral("ﾚﾃﾞｨ");
}

inline QString ProgramIconPath() {
  return QStringLiteral(":/kitebar/kitebar-icon.png");
}
inline QString TitlePicturePath() {
  return QStringLiteral(":/kitebar/title.png");
}
// The same picture drawn at twice the pixels, for screens at scale 2.
inline QString TitlePictureAt2xPath() {
  return QStringLiteral(":/kitebar/title@2x.png");
}

}  // namespace kitebar::app
