// The main view's two pages, built from real widgets over the pictures at
// the places the view gives, the program's four dialogs and its splash, so
// the pictures can be judged with the controls they are made for.
#include <QCheckBox>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include "AboutBox.h"
#include "PictureSheets.h"
#include "Pictures.h"
#include "RepairModeDlg.h"
#include "SavingDlg.h"
#include "SettingsDlg.h"
#include "StartupSplash.h"
#include "WizardSkin.h"

namespace gallery {
namespace {

using namespace drelin::res;

// A window background: the skin, or one picture at the top-left corner.
class Backdrop : public QWidget {
 public:
  Backdrop(const QSize& size, qreal ratio, int picture = 0, QColor fill = Qt::white)
      : skin_(ratio), picture_(picture ? Picture(picture, ratio) : QImage()), fill_(fill) {
    resize(size);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), fill_);
    if (picture_.isNull()) skin_.Paint(painter, size());
    else painter.drawImage(0, 0, picture_);
  }

 private:
  drelin::WizardSkin skin_;
  QImage picture_;
  QColor fill_;
};

class MockButton : public QWidget {
 public:
  MockButton(QWidget* parent, const QRect& place, int picture, bool hovered, qreal ratio)
      : QWidget(parent), picture_(picture), hovered_(hovered), ratio_(ratio) {
    setGeometry(place);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    DrawSkinButton(painter, rect(), picture_, hovered_, ratio_);
  }

 private:
  int picture_;
  bool hovered_;
  qreal ratio_;
};

class MockLogo : public QWidget {
 public:
  MockLogo(QWidget* parent, const QRect& place, qreal ratio) : QWidget(parent), image_(Picture(kBmpHomePage, ratio)) {
    setGeometry(place);
  }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, image_); }

 private:
  QImage image_;
};

const ButtonPictures& ButtonOf(int command) {
  for (const ButtonPictures& button : kButtonPictures)
    if (button.command == command) return button;
  return kButtonPictures[0];
}

void AddButton(QWidget* view, int command, const QRect& place, qreal ratio, bool hovered = false) {
  const ButtonPictures& button = ButtonOf(command);
  new MockButton(view, place, hovered ? button.hover : button.normal, hovered, ratio);
}

QLabel* AddHint(QWidget* view, const QString& text) {
  auto* hint = new QLabel(text, view);
  hint->setGeometry(180, 82, view->width() - 192, 33);
  hint->setAutoFillBackground(true);
  QPalette palette = hint->palette();
  palette.setColor(QPalette::Window, QColor(255, 252, 179));
  hint->setPalette(palette);
  QFont font(QStringLiteral("Times New Roman"));
  font.setPixelSize(16);
  font.setWeight(QFont::Medium);
  hint->setFont(font);
  hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return hint;
}

// The controls both pages share: the top row and the home-page button.
void AddTopRow(QWidget* view, qreal ratio) {
  const int w = view->width();
  AddButton(view, kIdAddFiles, QRect(14, 0, 58, 50), ratio, true);
  AddButton(view, kIdRepairFile, QRect(103, 0, 58, 50), ratio);
  AddButton(view, kIdSave, QRect(199, 0, 58, 50), ratio);
  AddButton(view, kIdSettings, QRect(288, 0, 58, 50), ratio);
  AddButton(view, kIdLiveUpdate, QRect(385, 0, 58, 50), ratio);
  new MockLogo(view, QRect(w - 133, 0, 133, 62), ratio);
}

void AddFileList(QWidget* view, qreal ratio) {
  const int w = view->width(), h = view->height();
  auto* list = new QTreeWidget(view);
  list->setGeometry(40, 225, w - 80, h - 325);
  list->setRootIsDecorated(false);
  list->setHeaderLabels({"File Name", "File Location", "File Size", "Creation Time", "Last Access Time",
                         "Last written Time", "File Type"});
  const int widths[] = {130, 240, 100, 120, 120, 130, 200};
  const int icons[] = {kIconName, kIconLocation, kIconSize, kIconCreated, kIconAccessed, kIconWritten, kIconType};
  for (int column = 0; column < 7; ++column) {
    list->setColumnWidth(column, widths[column]);
    list->headerItem()->setIcon(column, QIcon(QPixmap::fromImage(ScaledIcon(icons[column], 16, ratio))));
  }
  const char* names[] = {"customers.dbf", "orders.dbf", "stock2019.DBF", "suppliers.dbf"};
  const char* sizes[] = {"48230", "1203554", "88121", "9250"};
  for (int row = 0; row < 4; ++row) {
    auto* item = new QTreeWidgetItem(list, {QLatin1String(names[row]), "/home/anna/tables/", QLatin1String(sizes[row]),
                                            "03-02-2024 09:14 AM", "11-06-2024 04:52 PM", "11-06-2024 04:50 PM",
                                            "dBASE database"});
    item->setCheckState(0, row == 2 ? Qt::Unchecked : Qt::Checked);
  }
  auto* all = new QCheckBox(view);
  all->setGeometry(40, 210, 13, 13);
}

void AddRepairPage(QWidget* view, qreal ratio) {
  const int w = view->width(), h = view->height(), g = (h - 325) / 2;
  auto* log = new QPlainTextEdit(view);
  log->setGeometry(40, 225, w - 80, g);
  log->setPlainText("Selected File: (1 of 4)\nRepairing \n/home/anna/tables/customers.dbf\n\nRepair Progress...\n"
                    "\tAnalyzing Header\n\t\tError found in Header\n\t\tRepairing Header\n\tExtracting data\n"
                    "\tAdding data\nRepair Complete");
  auto* status = new QTreeWidget(view);
  status->setGeometry(40, 225 + g, w - 80, h - 325 - g);
  status->setRootIsDecorated(false);
  status->setIconSize(QSize(20, 20));
  status->setHeaderLabels({"File Name", "Status", "Repair Mode", "     "});
  const int widths[] = {500, 100, 140, 200};
  for (int column = 0; column < 4; ++column) status->setColumnWidth(column, widths[column]);
  struct Row { const char* path; const char* word; int icon; QColor text; };
  const Row rows[] = {{"/home/anna/tables/customers.dbf", "Done", kIconDone, QColor(0, 0, 255)},
                      {"/home/anna/tables/orders.dbf", "Failed", kIconFailed, QColor(255, 0, 0)},
                      {"/home/anna/tables/suppliers.dbf", "Progress", kIconProgress, QColor(0, 255, 0)},
                      {"/home/anna/tables/stock.dbf", "Pending", kIconPending, Qt::black}};
  const QColor backgrounds[] = {QColor(245, 243, 178), QColor(248, 233, 243), QColor(220, 242, 226),
                                QColor(248, 233, 243)};
  for (const Row& row : rows) {
    auto* item = new QTreeWidgetItem(status, {QLatin1String(row.path), QLatin1String(row.word), "Normal Repair Mode", ""});
    item->setIcon(0, QIcon(QPixmap::fromImage(ScaledIcon(row.icon, 20, ratio))));
    for (int column = 0; column < 4; ++column) {
      item->setForeground(column, row.text);
      item->setBackground(column, row.icon == kIconProgress ? QColor(Qt::black) : backgrounds[column]);
    }
  }
  AddButton(view, kIdBack, QRect(w - 110, h - 40, 50, 38), ratio);
  AddButton(view, kIdStop, QRect(w - 165, h - 40, 50, 38), ratio, true);
}

QImage Rendered(QWidget& widget, qreal ratio) {
  QImage image = BlankSheet(widget.size(), ratio, Qt::white);
  QPainter painter(&image);
  widget.render(&painter);
  return image;
}

int RenderMainView(const QDir& folder, qreal ratio, bool repairPage) {
  const QSize size = repairPage ? QSize(1024, 700) : QSize(800, 600);
  Backdrop view(size, ratio);
  AddTopRow(&view, ratio);
  const int w = size.width(), h = size.height();
  if (repairPage) {
    AddHint(&view, "        1. Drelin is repairing files ...\n"
                   "        2. You can stop the repairing process by pressing stop button");
    AddRepairPage(&view, ratio);
  } else {
    AddHint(&view, "        1. Add files into list from the add file button from toolbar\n"
                   "        2. Click next or repair file button.");
    AddFileList(&view, ratio);
    AddButton(&view, kIdRemoveSelected, QRect(w - 90, 182, 50, 38), ratio);
    AddButton(&view, kIdRemoveAll, QRect(w - 150, 182, 50, 38), ratio, true);
  }
  AddButton(&view, kIdNext, QRect(w - 55, h - 40, 50, 38), ratio);
  const QString name = repairPage ? QStringLiteral("52_main_view_repair_page") : QStringLiteral("52_main_view_file_page");
  return SaveSheet(Rendered(view, ratio), folder, name, ratio) ? 1 : 0;
}

// The main frame's prefix, for the Settings dialog.
class FixedPrefix : public drelin::batch::FilePrefix {
 public:
  std::string Prefix() const override { return "Rep"; }
  void SetPrefix(const std::string&) override {}
};

// The splash as the program shows it, centred on the screen.
QImage RenderedSplash(qreal ratio) {
  drelin::CStartupSplash::EnableSplash(true);
  QImage image;
  if (drelin::CStartupSplash::ShowSplash(4000, kBmpSplash, nullptr)) {
    image = Rendered(*drelin::CStartupSplash::Current(), ratio);
    delete drelin::CStartupSplash::Current();
  }
  drelin::CStartupSplash::EnableSplash(false);
  return image;
}

// The four dialogs of the program at their client sizes, the splash, and
// the preview window's corner.
int RenderDialogs(const QDir& folder, qreal ratio) {
  drelin::CRepairModeDlg mode;
  FixedPrefix prefix;
  drelin::CSettingsDlg settings(prefix);
  drelin::CSavingDlg saving;
  saving.SetText(QStringLiteral("/home/anna/tables/customers.dbf"));
  drelin::CSavingDlg savingLong;
  savingLong.SetText(QStringLiteral("/home/anna/Documents/Customer tables/2019/archive/quarterly reports/"
                                    "north-east region/branch offices/orders_2019_final_copy.dbf"));
  drelin::CAboutBox about;

  Backdrop preview(QSize(560, 230), ratio, kBmpPreviewBadge, QColor(255, 186, 16));
  auto* grid = new QTreeWidget(&preview);
  grid->setGeometry(30, 60, 500, 140);
  grid->setRootIsDecorated(false);
  grid->setHeaderLabels({"NAME", "CITY", "QTY", "PRICE"});
  grid->setStyleSheet(QStringLiteral("QTreeWidget { background-image: url(%1/bkgListPreview.bmp); }")
                          .arg(QCoreApplication::applicationDirPath()));
  for (const char* name : {"Alder & Sons", "Birchwood Ltd", "Cedar Supply"})
    new QTreeWidgetItem(grid, {QLatin1String(name), "Leeds", "12", "4.50"});

  QImage sheet = BlankSheet(QSize(1180, 770), ratio, QColor(0x70, 0x70, 0x70));
  QPainter painter(&sheet);
  const struct { QWidget* widget; QPoint at; } placed[] = {
      {&mode, {20, 20}},        {&settings, {409, 20}}, {&saving, {20, 219}},
      {&savingLong, {20, 387}}, {&about, {798, 20}},    {&preview, {20, 555}}};
  for (const auto& entry : placed) painter.drawImage(entry.at, Rendered(*entry.widget, ratio));
  painter.drawImage(QPoint(436, 219), RenderedSplash(ratio));
  painter.end();
  return SaveSheet(sheet, folder, QStringLiteral("53_dialogs"), ratio) ? 1 : 0;
}

}  // namespace

int RenderScreenSheets(const QDir& folder, qreal ratio) {
  return RenderMainView(folder, ratio, false) + RenderMainView(folder, ratio, true) + RenderDialogs(folder, ratio);
}

}  // namespace gallery
