#include "PictureSheets.h"

#include <QApplication>
#include <QPalette>

#include <cstdio>

#include "MarkupImages.h"
#include "Pictures.h"

namespace gallery {
namespace {

using namespace drelin::res;

struct Named {
  int number;
  const char* name;
};

constexpr Named kIconNames[] = {
    {kIconApp, "program"},   {kIconNext, "next"},        {kIconAbout, "about"},
    {kIconAddFiles, "add"},  {kIconHelp, "help"},        {kIconWeb, "web, update"},
    {kIconExit, "exit, failed"}, {kIconSettings, "settings"}, {kIconRemoveAll, "remove all"},
    {kIconRemoveSelected, "remove"}, {kIconDone, "done"}, {kIconProgress, "progress"},
    {kIconPending, "pending"}, {kIconLocation, "location"}, {kIconName, "name"},
    {kIconSize, "size"},     {kIconType, "type"},        {kIconAccessed, "accessed"},
    {kIconWritten, "written"}, {kIconCreated, "created"}};

// Each icon at its own size and at the 20 and 16 pixels of the lists.
void DrawIconCells(QPainter& painter, qreal ratio) {
  const int cellWidth = 150, cellHeight = 84;
  int index = 0;
  for (const Named& icon : kIconNames) {
    const QPoint origin(16 + (index % 5) * cellWidth, 40 + (index / 5) * cellHeight);
    painter.drawImage(origin, Picture(icon.number, ratio));
    painter.drawImage(origin + QPoint(58, 14), ScaledIcon(icon.number, 20, ratio));
    painter.drawImage(origin + QPoint(86, 16), ScaledIcon(icon.number, 16, ratio));
    DrawCaption(painter, QRect(origin + QPoint(0, 52), QSize(cellWidth - 10, 16)),
                QStringLiteral("%1 %2").arg(icon.number).arg(QLatin1String(icon.name)), Qt::AlignLeft);
    ++index;
  }
}

// The main menu's popups side by side, in the flat style's colours.
void DrawMenuMock(QPainter& painter, const QPoint& at, qreal ratio) {
  struct Item { int icon; const char* text; };
  const std::vector<std::vector<Item>> menus = {
      {{kIconAddFiles, "Add Files..."}, {kIconRemoveAll, "Remove All Files"},
       {kIconRemoveSelected, "Remove Selected Files"}, {kIconExit, "Exit"}},
      {{kIconSettings, "Setting"}, {kIconWeb, "Liveupdate"}},
      {{kIconHelp, "Help"}, {kIconAbout, "About Tarnova Drelin DBF..."}, {kIconWeb, "Software Home Page..."}}};
  int x = at.x();
  for (const auto& menu : menus) {
    const QRect frame(x, at.y(), 200, static_cast<int>(menu.size()) * 20 + 4);
    painter.fillRect(frame, QColor(0xFC, 0xFC, 0xFC));
    QLinearGradient column(frame.left(), 0, frame.left() + 30, 0);
    column.setColorAt(0, QColor(0xFF, 0xE5, 0x9A));
    column.setColorAt(1, QColor(0xFC, 0xFC, 0xFC));
    painter.fillRect(QRect(frame.left() + 2, frame.top() + 2, 30, frame.height() - 4), column);
    painter.setPen(QColor(0x76, 0x76, 0x76));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    int y = frame.top() + 2;
    for (const Item& item : menu) {
      painter.drawImage(QPoint(frame.left() + 5, y + 2), ScaledIcon(item.icon, 16, ratio));
      painter.setPen(Qt::black);
      painter.drawText(QRect(frame.left() + 38, y, 160, 20), Qt::AlignVCenter, QLatin1String(item.text));
      y += 20;
    }
    x += 216;
  }
}

// The status list's four rows, in the list's colours, with their icons.
void DrawStatusMock(QPainter& painter, const QPoint& at, qreal ratio) {
  struct Row { int icon; const char* word; QColor text; };
  const Row rows[] = {{kIconPending, "Pending", Qt::black}, {kIconProgress, "Progress", QColor(0, 255, 0)},
                      {kIconDone, "Done", QColor(0, 0, 255)}, {kIconFailed, "Failed", QColor(255, 0, 0)}};
  int y = at.y();
  for (const Row& row : rows) {
    const bool progress = row.word[0] == 'P' && row.word[1] == 'r';
    painter.fillRect(QRect(at.x(), y, 260, 22), progress ? Qt::black : QColor(245, 243, 178));
    painter.fillRect(QRect(at.x() + 260, y, 90, 22), progress ? Qt::black : QColor(248, 233, 243));
    painter.drawImage(QPoint(at.x() + 2, y + 1), ScaledIcon(row.icon, 20, ratio));
    painter.setPen(row.text);
    painter.drawText(QRect(at.x() + 26, y, 230, 22), Qt::AlignVCenter, QStringLiteral("/data/tables/orders.dbf"));
    painter.drawText(QRect(at.x() + 264, y, 90, 22), Qt::AlignVCenter, QLatin1String(row.word));
    painter.setPen(QColor(0xD0, 0xD0, 0xD0));
    painter.drawLine(at.x(), y + 22, at.x() + 350, y + 22);
    y += 23;
  }
}

// The 16-pixel icons enlarged without smoothing, to see their pixels.
void DrawEnlargedIcons(QPainter& painter, const QPoint& at, qreal ratio) {
  int index = 0;
  for (const Named& icon : kIconNames) {
    const QImage small = ScaledIcon(icon.number, 16, ratio);
    const QPoint origin = at + QPoint((index % 10) * 56, (index / 10) * 56);
    painter.fillRect(QRect(origin, QSize(48, 48)), Qt::white);
    painter.drawImage(QRect(origin, QSize(48, 48)), small);
    ++index;
  }
}

int RenderIconSheet(const QDir& folder, qreal ratio) {
  QImage sheet = BlankSheet(QSize(780, 770), ratio);
  QPainter painter(&sheet);
  painter.setRenderHint(QPainter::Antialiasing);
  DrawCaption(painter, QRect(16, 10, 700, 20), QStringLiteral("Icons at 48, 20 and 16 pixels"), Qt::AlignLeft);
  DrawIconCells(painter, ratio);
  DrawCaption(painter, QRect(16, 386, 700, 20), QStringLiteral("Menus (16 px)"), Qt::AlignLeft);
  DrawMenuMock(painter, QPoint(16, 408), ratio);
  DrawCaption(painter, QRect(16, 510, 700, 20), QStringLiteral("Status list (20 px)"), Qt::AlignLeft);
  DrawStatusMock(painter, QPoint(16, 532), ratio);
  DrawCaption(painter, QRect(16, 628, 360, 20), QStringLiteral("16 px, enlarged three times"), Qt::AlignLeft);
  DrawEnlargedIcons(painter, QPoint(16, 650), ratio);
  painter.end();
  return SaveSheet(sheet, folder, QStringLiteral("50_icons"), ratio) ? 1 : 0;
}

// Every button in its normal and pointer-over look, and both pictures on
// a loud colour, so a badly keyed edge would show.
int RenderButtonSheet(const QDir& folder, qreal ratio) {
  QImage sheet = BlankSheet(QSize(700, 300), ratio);
  QPainter painter(&sheet);
  DrawCaption(painter, QRect(16, 8, 600, 20),
              QStringLiteral("Buttons: normal, pointer over, and both keyed over magenta"), Qt::AlignLeft);
  int index = 0;
  for (const ButtonPictures& button : kButtonPictures) {
    const bool top = index < kTopRowButtonCount;
    const QSize size = top ? QSize(kTopRowButtonWidth, kTopRowButtonHeight)
                           : QSize(kSmallButtonWidth, kSmallButtonHeight);
    const QPoint origin(16 + (index % 5) * 136, 36 + (index / 5) * 130);
    painter.fillRect(QRect(origin - QPoint(4, 4), QSize(2 * size.width() + 16, size.height() + 8)),
                     QColor(0xEF, 0xEF, 0xEF));
    DrawSkinButton(painter, QRect(origin, size), button.normal, false, ratio);
    DrawSkinButton(painter, QRect(origin + QPoint(size.width() + 8, 0), size), button.hover, true, ratio);
    const QPoint keyed = origin + QPoint(0, size.height() + 12);
    painter.fillRect(QRect(keyed, QSize(2 * size.width() + 8, size.height())), Qt::magenta);
    painter.drawImage(keyed, Picture(button.normal, ratio, true));
    painter.drawImage(keyed + QPoint(size.width() + 8, 0), Picture(button.hover, ratio, true));
    DrawCaption(painter, QRect(origin + QPoint(0, 2 * size.height() + 14), QSize(130, 14)),
                QStringLiteral("%1 / %2").arg(button.normal).arg(button.hover), Qt::AlignLeft);
    ++index;
  }
  painter.end();
  return SaveSheet(sheet, folder, QStringLiteral("51_buttons"), ratio) ? 1 : 0;
}

}  // namespace

QImage BlankSheet(const QSize& size, qreal ratio, const QColor& fill) {
  QImage sheet(size * ratio, QImage::Format_ARGB32_Premultiplied);
  sheet.setDevicePixelRatio(ratio);
  sheet.fill(fill);
  return sheet;
}

QImage Picture(int number, qreal ratio, bool keyed) {
  QImage image = drelin::LoadProgramImage(number, ratio);
  if (image.isNull()) std::fprintf(stderr, "picture %d is missing\n", number);
  if (!keyed || image.isNull()) return image;
  image = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if ((line[x] & 0xFFFFFF) == 0) line[x] = 0;
  }
  return image;
}

QImage ScaledIcon(int number, int side, qreal ratio) {
  const QImage icon = Picture(number, ratio);
  if (icon.isNull()) return icon;
  QImage scaled = icon.scaled(QSize(side, side) * ratio, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  scaled.setDevicePixelRatio(ratio);
  return scaled;
}

void DrawSkinButton(QPainter& painter, const QRect& rect, int picture, bool hovered, qreal ratio) {
  const QPalette palette = QApplication::palette();
  painter.fillRect(rect, hovered ? QColor(Qt::white) : palette.color(QPalette::Button));
  if (hovered) {
    painter.setPen(palette.color(QPalette::Light));
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(palette.color(QPalette::Dark));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
  }
  const QImage image = Picture(picture, ratio, true);
  const int width = qRound(image.deviceIndependentSize().width());
  painter.drawImage(QPoint(rect.left() + (rect.width() - width) / 2, rect.top()), image);
}

void DrawCaption(QPainter& painter, const QRect& rect, const QString& text, int flags) {
  painter.save();
  QFont font = painter.font();
  font.setPixelSize(11);
  painter.setFont(font);
  painter.setPen(QColor(0x55, 0x55, 0x55));
  painter.drawText(rect, flags | Qt::AlignVCenter, text);
  painter.restore();
}

bool SaveSheet(const QImage& image, const QDir& folder, const QString& name, qreal ratio) {
  const QString path = folder.filePath(QStringLiteral("%1_%2x.png").arg(name).arg(ratio));
  if (image.save(path)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

int RenderPictureSheets(const QDir& folder) {
  int written = 0;
  for (const qreal ratio : {1.0, 2.0})
    written += RenderIconSheet(folder, ratio) + RenderButtonSheet(folder, ratio) +
               RenderScreenSheets(folder, ratio);
  return written;
}

}  // namespace gallery
