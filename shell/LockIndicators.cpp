#include "LockIndicators.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>

#include "ResourceIds.h"
#include "ShellTexts.h"

namespace drelin {
namespace {

QLabel* AddPane(QStatusBar& bar, int id, const char* text) {
  auto* pane = new QLabel(&bar);
  pane->setObjectName(QStringLiteral("Indicator%1").arg(id));
  pane->setAlignment(Qt::AlignCenter);
  pane->setFrameShape(QFrame::StyledPanel);
  pane->setFrameShadow(QFrame::Sunken);
  // As wide as its text, lit or not, so the panes never move.
  const int margin = 2 * (pane->frameWidth() + pane->fontMetrics().averageCharWidth());
  pane->setFixedWidth(pane->fontMetrics().horizontalAdvance(QString::fromLatin1(text)) + margin);
  bar.addPermanentWidget(pane);
  return pane;
}

void Show(QLabel* pane, bool on, const char* text) { pane->setText(on ? QString::fromLatin1(text) : QString()); }

bool IsLockKey(const QEvent* event) {
  const int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock;
}

}  // namespace

CLockIndicators::CLockIndicators(QStatusBar& bar, Reader reader)
    : QObject(&bar), reader_(reader ? std::move(reader) : Reader(ReadKeyLocks)) {
  caps_ = AddPane(bar, res::kIdIndicatorCaps, shell_texts::kIndicatorCaps);
  num_ = AddPane(bar, res::kIdIndicatorNum, shell_texts::kIndicatorNum);
  scroll_ = AddPane(bar, res::kIdIndicatorScroll, shell_texts::kIndicatorScroll);
  qApp->installEventFilter(this);
  Update();
}

CLockIndicators::~CLockIndicators() { qApp->removeEventFilter(this); }

QLabel* CLockIndicators::pane(int id) const {
  switch (id) {
    case res::kIdIndicatorCaps: return caps_;
    case res::kIdIndicatorNum: return num_;
    case res::kIdIndicatorScroll: return scroll_;
    default: return nullptr;
  }
}

void CLockIndicators::Update() {
  const KeyLocks locks = reader_();
  Show(caps_, locks.caps, shell_texts::kIndicatorCaps);
  Show(num_, locks.num, shell_texts::kIndicatorNum);
  Show(scroll_, locks.scroll, shell_texts::kIndicatorScroll);
}

bool CLockIndicators::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      if (IsLockKey(event)) Update();
      break;
    case QEvent::ApplicationStateChange:
      if (watched == qApp &&
          static_cast<QApplicationStateChangeEvent*>(event)->applicationState() == Qt::ApplicationActive) {
        Update();
      }
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace drelin
