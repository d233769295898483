#include "MainFrame.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QIcon>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>

#include "BatchTexts.h"
#include "CorvantilexView.h"
#include "FlatMenu.h"
#include "Launches.h"
#include "MainMenu.h"
#include "MarkupImages.h"
#include "MessageBoxParams.h"
#include "ProcessExit.h"
#include "RepairFlags.h"
#include "ResourceIds.h"
#include "RichMessageBox.h"
#include "ShellStrings.h"
#include "ShellTexts.h"
#include "StringTable.h"

namespace drelin {
namespace {

using namespace res;

constexpr int kIdYes = 6;
constexpr int kMinimumWidth = 712, kMinimumHeight = 600;

QIcon ApplicationIcon() {
  QIcon icon;
  for (const qreal ratio : {1.0, 2.0}) {
    const QImage picture = LoadProgramImage(kIconApp, ratio);
    if (!picture.isNull()) icon.addPixmap(QPixmap::fromImage(picture));
  }
  return icon;
}

}  // namespace

CMainFrame::CMainFrame() : CMainFrame(Options()) {}

CMainFrame::CMainFrame(Options options)
    : m_strPrefix(batch::kDefaultPrefix),
      launches_(std::make_unique<Launches>(
          options.startFolder.isEmpty() ? QCoreApplication::applicationDirPath() : options.startFolder,
          Launches::EndChecks{[this] { return RefusedWhileRepairing(); }, [this] { return view_->CanClose(); }})) {
  setObjectName(QStringLiteral("MainFrame"));
  LoadShellStrings();
  CCorvantilexView::Options viewOptions;
  viewOptions.prefix = this;
  viewOptions.io = options.io;
  viewOptions.workFolder = std::move(options.workFolder);
  view_ = new CCorvantilexView(std::move(viewOptions), this);
  setCentralWidget(view_);
  CreateStatusBar(std::move(options.keyLocks));
  CreateMenus();
  m_strTitle = QString::fromLatin1(shell_texts::kFrameTitle);
  setWindowIcon(ApplicationIcon());
  setMinimumSize(kMinimumWidth, kMinimumHeight);
  launches_->Register(router());
  router().AddShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), kIdSave, this);
}

CMainFrame::~CMainFrame() = default;

CommandRouter& CMainFrame::router() { return view_->router(); }

void CMainFrame::CreateStatusBar(CLockIndicators::Reader keyLocks) {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QStringLiteral("StatusBar%1").arg(kIdStatusBar));
  indicators_ = new CLockIndicators(*bar, std::move(keyLocks));
  // The message pane shows the idle text whenever no prompt does.
  connect(bar, &QStatusBar::messageChanged, this, &CMainFrame::ShowIdleText);
  ShowIdleText(QString());
}

void CMainFrame::ShowIdleText(const QString& message) {
  if (message.isEmpty()) statusBar()->showMessage(LoadString(nullptr, kStrIdle));
}

void CMainFrame::CreateMenus() {
  BuildMainMenu(*menuBar(), router());
  FlatMenu::Attach(menuBar());
  menuImages_ = MakeMenuImageList();
  SetMenuCommandImages(menuImages_);
}

void CMainFrame::OnUpdateFrameTitle(const QString& documentTitle) {
  setWindowTitle(documentTitle + QString::fromLatin1(shell_texts::kTitleSeparator) + m_strTitle);
}

bool CMainFrame::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    statusBar()->showMessage(PromptStatusText(static_cast<QStatusTipEvent*>(event)->tip()));
    return true;
  }
  return QMainWindow::event(event);
}

bool CMainFrame::RefusedWhileRepairing() {
  if (!batch::g_bRepairing) return false;
  ShowMessage(QString::fromLatin1(shell_texts::kStopRepairFirst), mb::kOk);
  return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (CloseFlow()) event->accept();
  else event->ignore();
}

bool CMainFrame::CloseFlow() {
  // A minimised window comes back (as it was before) so the questions show over it.
  if (isMinimized()) {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
  }
  if (RefusedWhileRepairing()) return false;
  if (!view_->CanClose()) return false;
  if (ShowMessage(QString::fromLatin1(shell_texts::kAskExit), mb::kYesNo | mb::kIconQuestion) != kIdYes) return false;
  ProcessExit::Exit(0);
  return true;
}

}  // namespace drelin
