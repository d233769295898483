#include "Launches.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "CommandRouter.h"
#include "HomePage.h"
#include "MarkupTokenizer.h"
#include "MessageBoxParams.h"
#include "ProcessExit.h"
#include "ProgramStart.h"
#include "ResourceIds.h"
#include "RichMessageBox.h"
#include "ShellLaunch.h"
#include "ShellTexts.h"

namespace drelin {
namespace {

using namespace res;

constexpr int kIdYes = 6;

int Show(const QString& text, std::uint32_t style) { return ShowMessage(text, style); }
int Show(const char* text, std::uint32_t style) { return Show(QString::fromLatin1(text), style); }

}  // namespace

Launches::Launches(QString startFolder, EndChecks checks)
    : startFolder_(std::move(startFolder)), checks_(std::move(checks)) {}

void Launches::Register(CommandRouter& router) {
  for (const int id : {kCmdHelpKey, kCmdHelp}) router.Add(id, [this] { Help(); });
  for (const int id : {kIdLiveUpdate, kCmdLiveUpdate}) router.Add(id, [this] { LiveUpdate(); });
  for (const int id : {kIdHomePage, kCmdHomePage}) router.Add(id, [this] { HomePage(); });
}

QString Launches::CompanionPath(const char* name) const {
  QString path = startFolder_;
  if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
  return path + QString::fromUtf8(name);
}

void Launches::Help() const {
  const QString path = CompanionPath(shell_texts::kHelpFileName);
  if (!QFileInfo::exists(path)) {
    Show(shell_texts::kHelpNotFound, mb::kIconInformation);
    return;
  }
  ShellLaunch::Open(QUrl::fromLocalFile(path));
}

void Launches::LiveUpdate() const {
  QDir::setCurrent(startFolder_);
  const QString path = CompanionPath(shell_texts::kUpdaterFileName);
  if (!QFileInfo::exists(path)) {
    Show(shell_texts::kUpdaterNotFound, mb::kIconInformation);
    return;
  }
  if (checks_.refusedWhileRepairing && checks_.refusedWhileRepairing()) return;
  if (Show(shell_texts::kAskLiveUpdate, mb::kYesNo | mb::kIconQuestion) != kIdYes) return;
  if (checks_.viewMayClose && !checks_.viewMayClose()) return;
  const ProgramStart::Result started =
      ProgramStart::StartDetached(path, {QString::fromLatin1(shell_texts::kUpdaterArgument)});
  if (!started.started) {
    Show(QString::fromLatin1(shell_texts::kUpdaterFailed) + EscapeMarkup(started.reason),
         mb::kOk | mb::kIconExclamation);
    return;
  }
  ProcessExit::Exit(0);
}

void Launches::HomePage() const { ShellLaunch::Open(QUrl::fromUserInput(QString::fromLatin1(kHomePageAddress))); }

}  // namespace drelin
