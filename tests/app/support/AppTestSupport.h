#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/CKitebarApp.h"
#include "app/StartFolder.h"
#include "reports/PageOpener.h"

class QWidget;

namespace kitebar::app::test {

// A fresh empty working folder for one test function; the previous working
// folder is restored afterwards. The program's files have fixed names in the
// working folder.
class WorkingFolder {
 public:
  WorkingFolder();
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;
  ~WorkingFolder();

  QString path() const { return folder_.path(); }

 private:
  QString previous_;
  QTemporaryDir folder_;
};

// Stands in for the browser: remembers the pages it was asked to open.
class RecordingPageOpener final : public PageOpener {
 public:
  Status Open(const std::filesystem::path& page) override;
  std::vector<std::filesystem::path> opened;
};

// Answers the next message boxes at once with OK; the tests then read what
// was shown through the message-box hook.
void AnswerMessageBoxesWithOk();

void WriteFile(const QString& name, const QByteArray& bytes);
QByteArray ReadFile(const QString& name);

// A history file with draws 1 to `draws`, each with a winning number and no
// windmill position, lines ending CR LF.
QByteArray HistoryText(int draws);

// An application started in the working folder with `arguments` (and the
// launcher's `launchProblem`, if any), its browser replaced by `opener` (kept
// by the application).
struct StartedApp {
  std::unique_ptr<CKitebarApp> app;
  RecordingPageOpener* opener = nullptr;
  bool started = false;
};
StartedApp StartApp(const QStringList& arguments = {},
                    std::optional<StartFolder> startFolder = std::nullopt,
                    const QString& launchProblem = {});

// Runs `answer` on the next modal window once it is open (a dialog's exec or
// a message box shown without the hook), from the event loop of that window.
// A test must arrange this before the command that opens the window.
void WhenModalOpens(std::function<void(QWidget&)> answer);

// Runs `command` while closing (rejecting) every modal window that it opens;
// returns the parent of each window closed, in order.
std::vector<QWidget*> CloseModalWindowsDuring(const std::function<void()>& command);

// Commits `text` into `field` as an input method does once the user confirms
// it: the way full-width digits arrive.
void CommitFromInputMethod(QWidget& field, const QString& text);

// Shows `dialog` and, from each of `stops` (object names) in turn: Tab passes
// through each of them once and comes back, Shift+Tab takes the same way
// back, and the draw list ("drawList", one of them) neither moves nor selects
// a row on the way. A list that keeps Tab to itself fails at once.
void VerifyKeyboardNavigation(QWidget& dialog, const QStringList& stops);

}  // namespace kitebar::app::test
