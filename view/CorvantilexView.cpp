#include "CorvantilexView.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPrinter>
#include <QResizeEvent>
#include <QThread>

#include "BatchTexts.h"
#include "FileListCtrl.h"
#include "HintLabel.h"
#include "LogEdit.h"
#include "LogoButton.h"
#include "Pictures.h"
#include "RepairFlags.h"
#include "ReportList.h"
#include "ResourceIds.h"
#include "SkinButton.h"
#include "StatusListCtrl.h"
#include "ViewPrinter.h"
#include "ViewTexts.h"
#include "WorkFolder.h"

namespace drelin {

namespace {

using namespace res;

// The buttons in creation order, with the places they are created at (an
// empty place: the layout puts them).
struct ButtonPlace {
  int id;
  QRect place;
};
constexpr int kButtonCount = 10;
const ButtonPlace kButtonPlaces[kButtonCount] = {
    {kIdAddFiles, {14, 0, 58, 50}},       {kIdRepairFile, {103, 0, 58, 50}},
    {kIdSave, {199, 0, 58, 50}},          {kIdSettings, {288, 0, 58, 50}},
    {kIdLiveUpdate, {385, 0, 58, 50}},    {kIdRemoveSelected, {579, 0, 58, 50}},
    {kIdRemoveAll, {676, 0, 58, 50}},     {kIdNext, {676, 0, 58, 50}},
    {kIdBack, {}},                        {kIdStop, {}},
};

// The order in which the buttons get their pictures, settings and tips.
struct ButtonTipText {
  int id;
  const char* tip;
};
const ButtonTipText kButtonTips[kButtonCount] = {
    {kIdNext, "Next"},
    {kIdBack, "Back"},
    {kIdStop, "Stop"},
    {kIdRemoveSelected, "Remove selected file(s) from the list."},
    {kIdRemoveAll, "Remove All files from the list."},
    {kIdAddFiles, "Add File(s) to repair"},
    {kIdRepairFile, "Repair File(s) selected in the list"},
    {kIdSave, "Select location for save repaired file"},
    {kIdSettings, "Settings for repaired file name."},
    {kIdLiveUpdate, "Update the software from latest changes from Internet"},
};

// The status pictures by image index: pending, in progress, done, failed.
constexpr int kStatusIcons[] = {kIconPending, kIconProgress, kIconDone, kIconFailed};

// The view's measures: the lists' corner, the margins kept free at the
// right and at the bottom.
constexpr int kListLeft = 40, kListTop = 225, kRightMargin = 40, kBottomMargin = 100;
const QColor kHintBackground(255, 252, 179);
// How often the window is painted during a run.
constexpr int kRunFrameMs = 40;

const ButtonPictures& PicturesOf(int id) {
  for (const ButtonPictures& pictures : kButtonPictures) {
    if (pictures.command == id) return pictures;
  }
  return kButtonPictures[0];
}

class ViewMemoryPrefix : public batch::FilePrefix {
 public:
  std::string Prefix() const override { return prefix_; }
  void SetPrefix(const std::string& prefix) override { prefix_ = prefix; }

 private:
  std::string prefix_ = batch::kDefaultPrefix;
};

}  // namespace

CCorvantilexView::CCorvantilexView(QWidget* parent) : CCorvantilexView(Options(), parent) {}

CCorvantilexView::CCorvantilexView(Options options, QWidget* parent)
    : QWidget(parent),
      prefix_(options.prefix),
      io_(options.io != nullptr ? *options.io : SystemFileIo()),
      workFolder_(options.workFolder ? std::move(options.workFolder) : batch::WorkFolderSource(platform::ProcessWorkFolder)) {
  setObjectName(QStringLiteral("CorvantilexView"));
  if (prefix_ == nullptr) {
    ownPrefix_ = std::make_unique<ViewMemoryPrefix>();
    prefix_ = ownPrefix_.get();
  }
  // Shown only where the start-up switched it on (CStartupSplash::EnableSplash).
  ShowStartupSplash(this);
  timers_ = new ViewTimers([this](int id) { router_.Dispatch(id); }, this);
  commands_ = std::make_unique<batch::RepairCommands>(
      *this, messages_, folders_, *timers_, [this] { return prefix_->Prefix(); }, workFolder_, io_);
  printer_ = std::make_unique<ViewPrinter>(*this);
  framePacer_ = new FramePacer(kRunFrameMs, this);

  CreateStatusImages();
  CreateButtons();
  SetUpButtons();
  CreateFileList();
  CreateLogAndHint();
  CreateStatusList();
  startFolder_ = QCoreApplication::applicationDirPath();
  buttonFont_ = CellHeightFont(QString::fromLatin1(view_texts::kViewFontFace),
                               view_texts::kViewFontCellHeight, view_texts::kViewFontWeight);
  button(kIdRemoveAll)->setFont(buttonFont_);
  ShowFilePage();
  HideRepairPage();
  fileList_->SetBackgroundImage(startFolder_ + QStringLiteral("/bkgList.bmp"));
  ApplyControlColors();
  RegisterCommands();
  resize(800, 600);
}

CCorvantilexView::~CCorvantilexView() {
  // The worker may be waiting for this thread: let it finish the file in
  // hand and end, carrying out its calls meanwhile.
  if (batch::g_bRepairing) {
    batch::g_bStopRequested = true;
    while (batch::g_bRepairing) {
      QCoreApplication::processEvents(QEventLoop::AllEvents);
      QThread::yieldCurrentThread();
    }
  }
  commands_.reset();
}

QPrinter& CCorvantilexView::printer() { return printer_->printer(); }

CSkinButton* CCorvantilexView::button(int id) const {
  const auto found = buttons_.find(id);
  return found == buttons_.end() ? nullptr : found->second;
}

void CCorvantilexView::CreateStatusImages() {
  for (const int id : kStatusIcons) statusImages_.push_back(ProgramIcon(id, CStatusListCtrl::kIconSide));
}

void CCorvantilexView::CreateButtons() {
  for (const ButtonPlace& place : kButtonPlaces) {
    auto* created = new CSkinButton(this);
    created->setObjectName(QStringLiteral("Button%1").arg(place.id));
    created->setGeometry(place.place);
    buttons_[place.id] = created;
    router_.Bind(created, place.id);
  }
  homePage_ = new CLogoButton(this);
  homePage_->setObjectName(QStringLiteral("HomePage"));
  router_.Bind(homePage_, kIdHomePage);
}

void CCorvantilexView::SetUpButtons() {
  const ColorRef black = ColorRef::FromRgb(0, 0, 0);
  for (const ButtonTipText& entry : kButtonTips) {
    CSkinButton* target = button(entry.id);
    const ButtonPictures& pictures = PicturesOf(entry.id);
    target->SetImages(pictures.hover, black, pictures.normal, black);
    target->ShadeStateColor(CSkinButton::kBackgroundIn, 100);
    target->SetStateColor(CSkinButton::kTextIn, ColorRef::FromRgb(0, 128, 0));
    target->SetImageAlignment(CSkinButton::kImageRight);
    target->SetTipText(QString::fromLatin1(entry.tip), true);
  }
  homePage_->SetHoverBitmap(kBmpHomePage);
  homePage_->SetHoverText(QString::fromLatin1(view_texts::kHomePageTip));
  homePage_->SetHoverTip(QString::fromLatin1(view_texts::kHomePageTip), true);
}

void CCorvantilexView::CreateFileList() {
  fileList_ = new CFileListCtrl(this);
  fileList_->setGeometry(kListLeft, kListTop, 100, 100);
  checkAll_ = new CCheckAllBox(this);
  checkAll_->setObjectName(QStringLiteral("CheckAll"));
  checkAll_->setGeometry(40, 210, 13, 13);
  router_.Bind(checkAll_, kIdCheckAll);
  fileList_->InsertColumns();
  fileList_->SetHeaderImages();
  fileList_->SetCheckAllBox(checkAll_);
  fileList_->SetDropGate([this] { return m_nPage == 0 && !batch::g_bRepairing; });
}

void CCorvantilexView::CreateLogAndHint() {
  logBox_ = new CLogEdit(this);
  logBox_->setObjectName(QStringLiteral("LogBox"));
  logBox_->setGeometry(kListLeft, kListTop, 100, 100);
  hint_ = new CHintLabel(this);
  hint_->setObjectName(QStringLiteral("HintLabel"));
  hint_->setGeometry(0, 0, 100, 100);
  hint_->SetText(QString::fromLatin1(batch::kHintTexts[0]));
  hintFont_ = CellHeightFont(QString::fromLatin1(view_texts::kViewFontFace),
                             view_texts::kViewFontCellHeight, view_texts::kViewFontWeight);
  hint_->setFont(hintFont_);
}

void CCorvantilexView::CreateStatusList() {
  statusList_ = new CStatusListCtrl(this);
  statusList_->setGeometry(kListLeft, kListTop, 100, 100);
  statusList_->InsertColumns();
  statusList_->SetImageList(statusImages_);
  statusList_->SetRouter(&router_);
}

void CCorvantilexView::ApplyControlColors() {
  QPalette hintColors = hint_->palette();
  hintColors.setColor(QPalette::Window, kHintBackground);
  hintColors.setColor(QPalette::WindowText, Qt::black);
  hint_->setPalette(hintColors);
  QPalette logColors = logBox_->palette();
  const QColor window = QApplication::palette().color(QPalette::Base);
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    logColors.setColor(group, QPalette::Base, window);
  }
  logBox_->setPalette(logColors);
}

void CCorvantilexView::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange && hint_ != nullptr) ApplyControlColors();
}

void CCorvantilexView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (fileList_ != nullptr) Layout(event->size().width(), event->size().height());
}

void CCorvantilexView::Layout(int w, int h) {
  const int listWidth = w - kListLeft - kRightMargin;
  const int listHeight = h - kListTop - kBottomMargin;
  const int g = listHeight / 2;  // toward zero, as the log takes the upper half
  fileList_->setGeometry(kListLeft, kListTop, listWidth, listHeight);
  button(kIdRemoveSelected)->setGeometry(w - 90, 182, 50, 38);
  button(kIdRemoveAll)->setGeometry(w - 150, 182, 50, 38);
  hint_->setGeometry(180, 82, w - 192, 33);
  logBox_->setGeometry(kListLeft, kListTop, listWidth, g);
  statusList_->setGeometry(kListLeft, kListTop + g, listWidth, listHeight - g);
  button(kIdNext)->setGeometry(w - 55, h - 40, 50, 38);
  button(kIdBack)->setGeometry(w - 110, h - 40, 50, 38);
  button(kIdStop)->setGeometry(w - 165, h - 40, 50, 38);
  homePage_->setGeometry(w - 133, 0, 133, 62);
}

void CCorvantilexView::paintEvent(QPaintEvent* event) {
  // The skin is drawn once per size into a picture; a paint copies the part
  // asked for, which keeps the many small repaints of a run cheap.
  const qreal ratio = devicePixelRatioF();
  if (skinPicture_.isNull() || skinPicture_.devicePixelRatio() != ratio ||
      skinPicture_.deviceIndependentSize() != QSizeF(size())) {
    if (!skin_ || skinRatio_ != ratio) {
      skin_ = std::make_unique<WizardSkin>(ratio);
      skinRatio_ = ratio;
    }
    skinPicture_ = QPixmap(size() * ratio);
    skinPicture_.setDevicePixelRatio(ratio);
    skinPicture_.fill(palette().color(QPalette::Window));
    QPainter skin(&skinPicture_);
    skin_->Paint(skin, size());
  }
  QPainter painter(this);
  const QRect area = event->rect();
  painter.drawPixmap(area, skinPicture_, QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
}

void CCorvantilexView::ShowFilePage() {
  for (QWidget* control : {static_cast<QWidget*>(fileList_), static_cast<QWidget*>(checkAll_),
                           static_cast<QWidget*>(button(kIdRemoveSelected)),
                           static_cast<QWidget*>(button(kIdRemoveAll))}) {
    control->show();
  }
  hint_->SetText(QString::fromLatin1(batch::kHintTexts[0]));
}

void CCorvantilexView::HideFilePage() {
  fileList_->hide();
  checkAll_->hide();
  button(kIdRemoveSelected)->hide();
  button(kIdRemoveAll)->hide();
}

void CCorvantilexView::ShowRepairPage() {
  statusList_->show();
  logBox_->show();
  button(kIdBack)->show();
  button(kIdStop)->show();
  hint_->SetText(QString::fromLatin1(batch::kHintTexts[1]));
}

void CCorvantilexView::HideRepairPage() {
  statusList_->hide();
  logBox_->hide();
  button(kIdBack)->hide();
  button(kIdStop)->hide();
}

}  // namespace drelin
