#include "FilePreviewDlg.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <algorithm>
#include <stdexcept>

#include "BatchTexts.h"
#include "CodePage.h"
#include "FileError.h"
#include "FileIo.h"
#include "MarkupImages.h"
#include "PreviewListCtrl.h"
#include "Pictures.h"
#include "SkinImage.h"
#include "TableCodePage.h"

namespace drelin {

namespace {

constexpr int kMargin = 30;      // grid and buttons from the window's edges
constexpr int kGridTop = 60;     // below the badge
constexpr int kButtonGap = 10;   // between OK and Cancel
constexpr int kLabelGap = 6;     // between the chooser's label and its box
// The template's size, 434 by 316 dialog units, for when the window is
// restored from maximised.
constexpr QSize kTemplateSize{651, 514};

const char* const kCodePageCandidates[] = {
    CodePage::kDefault, "WINDOWS-1250", "WINDOWS-1251", "WINDOWS-1253", "WINDOWS-1254",
    "WINDOWS-1255",     "WINDOWS-1256", "WINDOWS-1257", "WINDOWS-1258", "CP874",
    "CP437",            "CP850",        "CP852",        "CP855",        "CP857",
    "CP860",            "CP861",        "CP862",        "CP863",        "CP865",
    "CP866",            "CP869",        "CP932",        "CP936",        "CP949",
    "CP950",            "KOI8-R",       "KOI8-U",       "ISO-8859-1",   "ISO-8859-2",
    "ISO-8859-5",       "ISO-8859-7",   "ISO-8859-9",   "ISO-8859-15",  "MACINTOSH",
    "UTF-8",
};

QSize BadgeSize() {
  for (const res::PictureSize& picture : res::kBitmapSizes) {
    if (picture.number == res::kBmpPreviewBadge) return {picture.width, picture.height};
  }
  return {};
}

}  // namespace

PreviewLayout PreviewLayoutFor(QSize client, QSize button, int labelWidth) {
  const int width = client.width();
  const int height = client.height();
  const int w = button.width();
  const int h = button.height();
  const int buttonTop = height - kMargin - h + h / 2;
  PreviewLayout layout;
  layout.grid = QRect(kMargin, kGridTop, std::max(width - 2 * kMargin, 0), std::max(height - 2 * kGridTop, 0));
  layout.cancel = QRect(width - kMargin - w, buttonTop, w, h);
  layout.ok = QRect(width - kMargin - kButtonGap - 2 * w, buttonTop, w, h);
  layout.chooserLabel = QRect(kMargin, buttonTop, labelWidth, h);
  layout.chooser = QRect(kMargin + labelWidth + kLabelGap, buttonTop, CFilePreviewDlg::kChooserWidth, h);
  return layout;
}

CFilePreviewDlg::CFilePreviewDlg(QWidget* parent, batch::MessageCall& messages, const std::string& sourcePath,
                                 const QString& startFolder)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      messages_(messages),
      grid_(new CPreviewListCtrl(this)),
      chooserLabel_(new QLabel(tr("Code page:"), this)),
      chooser_(new QComboBox(this)),
      ok_(new QPushButton(tr("OK"), this)),
      cancel_(new QPushButton(tr("Cancel"), this)) {
  setObjectName(QStringLiteral("FilePreview"));
  resize(kTemplateSize);
  grid_->SetBackgroundImage(
      LoadImageFile(QDir(startFolder).filePath(QString::fromLatin1(kBackgroundFile))));

  QIcon icon(QPixmap::fromImage(LoadProgramImage(res::kIconApp)));
  icon.addPixmap(QPixmap::fromImage(LoadProgramImage(res::kIconApp, 2.0)));
  setWindowIcon(icon);
  setWindowTitle(TitleFor(sourcePath));

  chooserLabel_->setTextFormat(Qt::PlainText);
  chooserLabel_->setBuddy(chooser_);
  chooser_->addItems(CodePageNames());
  connect(chooser_, &QComboBox::currentTextChanged, this, &CFilePreviewDlg::ChooseCodePage);
  SelectCodePage(SourceCodePage(sourcePath));
  connect(grid_, &CPreviewListCtrl::readFailed, this, &CFilePreviewDlg::TellReadFailure);

  cancel_->resize(kButtonSize);
  ok_->resize(kButtonSize);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  // Never so small that the chooser runs under the buttons or the grid vanishes.
  const int bottomRow = chooserLabel_->sizeHint().width() + kLabelGap + kChooserWidth + kButtonGap +
                        2 * (kButtonSize.width() + kButtonGap);
  setMinimumSize(2 * kMargin + bottomRow, 2 * kGridTop + 4 * kButtonSize.height());
  // The grid, first in the tab order, has the keys when the window opens.
  grid_->setFocus();
  setWindowState(windowState() | Qt::WindowMaximized);
}

CFilePreviewDlg::~CFilePreviewDlg() = default;

bool CFilePreviewDlg::LoadTable(const std::string& repairedPath) {
  return grid_->Open(SystemFileIo(), repairedPath);
}

QString CFilePreviewDlg::TitleFor(const std::string& sourcePath) {
  QString title = QString::fromStdString(sourcePath);
  title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
  return title;
}

const QStringList& CFilePreviewDlg::CodePageNames() {
  // Only the names this system's converters know, so every choice works.
  static const QStringList names = [] {
    QStringList accepted;
    for (const char* name : kCodePageCandidates) {
      try {
        CodePage page(name);
        accepted.append(QString::fromLatin1(name));
      } catch (const std::invalid_argument&) {
      }
    }
    return accepted;
  }();
  return names;
}

std::string CFilePreviewDlg::SourceCodePage(const std::string& sourcePath) {
  try {
    return ReadTableCodePage(SystemFileIo(), sourcePath).page.name;
  } catch (const FileError&) {
    return CodePage::kDefault;  // the source is gone: the working file says nothing
  }
}

void CFilePreviewDlg::SelectCodePage(const std::string& name) {
  const QString text = QString::fromStdString(name);
  int index = chooser_->findText(text, Qt::MatchFixedString);
  if (index < 0) {
    chooser_->addItem(text);
    index = chooser_->count() - 1;
  }
  chooser_->setCurrentIndex(index);
}

void CFilePreviewDlg::ChooseCodePage(const QString& name) {
  try {
    grid_->SetCodePage(name.toStdString());
  } catch (const std::invalid_argument& error) {
    messages_.RichMessageBox(error.what(), batch::kCaption, batch::kMbExclamationOk);
  }
}

void CFilePreviewDlg::TellReadFailure(const QString& message) {
  messages_.RichMessageBox(message.toStdString(), batch::kCaption, batch::kMbExclamationOk);
}

void CFilePreviewDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), kBackgroundColor.toQColor());
  const qreal ratio = devicePixelRatioF();
  if (badge_.isNull() || badge_.devicePixelRatio() != (ratio > 1.0 ? 2.0 : 1.0)) {
    badge_ = LoadProgramImage(res::kBmpPreviewBadge, ratio);
  }
  DrawScaled(painter, QRect(QPoint(0, 0), BadgeSize()), badge_);
}

void CFilePreviewDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const PreviewLayout layout = PreviewLayoutFor(size(), cancel_->size(), chooserLabel_->sizeHint().width());
  grid_->setGeometry(layout.grid);
  cancel_->setGeometry(layout.cancel);
  ok_->setGeometry(layout.ok);
  chooserLabel_->setGeometry(layout.chooserLabel);
  chooser_->setGeometry(layout.chooser);
  ok_->update();
  cancel_->update();
}

}  // namespace drelin
