// Renders the skinned buttons in each state and a frame's flat menu bar
// with an open popup onto PNG sheets, at one and two device pixels per
// pixel. The pictures are simple stand-ins drawn here until the program's
// own numbered pictures are used.
#include "ControlsGallery.h"

#include <QActionGroup>
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>
#include <memory>

#include "ClearLabel.h"
#include "FlatMenu.h"
#include "LogoButton.h"
#include "SkinButton.h"

namespace {

using drelin::ColorRef;
using drelin::CSkinButton;
using drelin::FlatMenu;

const QColor kSheet(0x6E, 0x76, 0x80);

// A picture of `size` logical pixels at `ratio` device pixels each.
QImage Canvas(QSize size, qreal ratio, QColor fill) {
  QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(fill);
  return image;
}

// A glyph in white on a coloured tile: plus, minus, cross, arrow or gear.
void DrawGlyph(QPainter& painter, const QRectF& tile, char glyph) {
  painter.setPen(QPen(Qt::white, tile.width() / 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  const QPointF c = tile.center();
  const qreal r = tile.width() * 0.26;
  switch (glyph) {
    case '+':
      painter.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
      painter.drawLine(c - QPointF(0, r), c + QPointF(0, r));
      break;
    case '-':
      painter.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
      break;
    case 'x':
      painter.drawLine(c - QPointF(r, r), c + QPointF(r, r));
      painter.drawLine(c - QPointF(r, -r), c + QPointF(r, -r));
      break;
    case '>':
      painter.drawPolyline(QPolygonF({c + QPointF(-r / 2, -r), c + QPointF(r / 2, 0), c + QPointF(-r / 2, r)}));
      break;
    case '<':
      painter.drawPolyline(QPolygonF({c + QPointF(r / 2, -r), c + QPointF(-r / 2, 0), c + QPointF(r / 2, r)}));
      break;
    case 'o':
      painter.drawEllipse(c, r * 0.8, r * 0.8);
      painter.drawPoint(c);
      break;
    case 's':
      painter.drawRect(QRectF(c - QPointF(r, r), c + QPointF(r, r)));
      painter.drawLine(c + QPointF(-r / 2, -r), c + QPointF(-r / 2, -r / 3));
      break;
    case '?':
      painter.drawArc(QRectF(c - QPointF(r * 0.7, r), QSizeF(r * 1.4, r * 1.2)), 180 * 16, -250 * 16);
      painter.drawPoint(c + QPointF(0, r));
      break;
    default:
      painter.drawPoint(c);
      break;
  }
}

// A button picture on the black transparent key: a tile with a glyph,
// brighter for the pointer-over picture. The tile's outline is drawn
// without smoothing so that no edge pixel comes near the key.
QImage ButtonPicture(QSize size, qreal ratio, QColor color, char glyph, bool hover) {
  QImage image = Canvas(size, ratio, Qt::black);
  QPainter painter(&image);
  const QRectF tile = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(6, 4, -6, -4);
  const qreal side = std::min(tile.width(), tile.height());
  const QRectF square(tile.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
  const QColor fill = hover ? color.lighter(125) : color;
  painter.setPen(Qt::NoPen);
  painter.setBrush(fill.darker(140));
  painter.drawRoundedRect(square, side / 5, side / 5);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient shine(square.topLeft(), square.bottomLeft());
  shine.setColorAt(0, fill.lighter(130));
  shine.setColorAt(1, fill);
  painter.setBrush(shine);
  painter.drawRoundedRect(square.adjusted(1.5, 1.5, -1.5, -1.5), side / 5.5, side / 5.5);
  DrawGlyph(painter, square, glyph);
  return image;
}

// A 48-pixel menu icon with a transparent background.
QImage MenuIcon(QColor color, char glyph) {
  QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(color.darker(150), 2));
  painter.setBrush(color);
  painter.drawRoundedRect(QRectF(3, 3, 42, 42), 9, 9);
  DrawGlyph(painter, QRectF(3, 3, 42, 42), glyph);
  return image;
}

// The widget as painted at `ratio`, placed on `sheet` at `at`.
void Place(QPainter& sheet, QWidget& widget, QPoint at, qreal ratio) {
  QImage image = Canvas(widget.size(), ratio, Qt::transparent);
  widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  sheet.drawImage(at, image);
}

void Caption(QPainter& painter, QPoint at, const QString& text) {
  painter.setPen(Qt::white);
  painter.drawText(at, text);
}

bool SaveSheet(const QImage& sheet, const QDir& folder, const QString& name) {
  const QString path = folder.filePath(name + QStringLiteral(".png"));
  if (sheet.save(path)) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

struct ButtonKind {
  QSize size;
  QColor color;
  char glyph;
  QString text;
};

// One button per state: normal, hover, pressed, disabled, focused.
void PlaceButtonStates(QPainter& sheet, QWidget& window, const ButtonKind& kind, int y, qreal ratio, bool captions) {
  const char* states[] = {"normal", "hover", "pressed", "disabled", "focused"};
  for (int state = 0; state < 5; ++state) {
    auto button = std::make_unique<CSkinButton>(&window);
    const QSize picture = kind.text.isEmpty() ? kind.size : QSize(32, 32);
    button->SetImages(ButtonPicture(picture, ratio, kind.color, kind.glyph, true), ColorRef(0),
                      ButtonPicture(picture, ratio, kind.color, kind.glyph, false), ColorRef(0));
    button->ShadeStateColor(CSkinButton::kBackgroundIn, 100);
    button->SetStateColor(CSkinButton::kTextIn, ColorRef::FromRgb(0, 128, 0));
    button->SetImageAlignment(kind.text.isEmpty() ? CSkinButton::kImageRight : CSkinButton::kImageLeft);
    button->SetTipText(QString::fromLatin1(states[state]), true);
    button->setText(kind.text);
    button->resize(kind.text.isEmpty() ? kind.size : QSize(120, 40));
    button->show();
    if (state == 1) {
      QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton,
                       Qt::NoModifier);
      QApplication::sendEvent(button.get(), &move);
    }
    if (state == 2) button->setDown(true);
    if (state == 3) button->setEnabled(false);
    if (state == 4) button->setFocus(Qt::TabFocusReason);
    if (captions) Caption(sheet, QPoint(20 + state * 130, 24), QString::fromLatin1(states[state]));
    Place(sheet, *button, QPoint(20 + state * 130, y), ratio);
  }
}

QImage ButtonSheet(qreal ratio) {
  QImage sheet = Canvas({680, 460}, ratio, kSheet);
  QPainter painter(&sheet);
  QWidget window;
  window.resize(680, 460);
  window.show();
  QApplication::setActiveWindow(&window);
  const ButtonKind kinds[] = {{{58, 50}, QColor(0x2B, 0x7C, 0xD3), '+', {}},
                              {{58, 50}, QColor(0x2E, 0xA0, 0x4A), 'o', {}},
                              {{50, 38}, QColor(0xE0, 0x8A, 0x1E), '>', {}},
                              {{50, 38}, QColor(0xC8, 0x3A, 0x32), 'x', {}},
                              {{120, 40}, QColor(0x7A, 0x4F, 0xC0), 's', QStringLiteral("&Repair File")}};
  int y = 40;
  for (const ButtonKind& kind : kinds) {
    PlaceButtonStates(painter, window, kind, y, ratio, y == 40);
    y += (kind.text.isEmpty() ? kind.size.height() : 40) + 16;
  }
  drelin::CLogoButton logo(&window);
  QImage picture = Canvas({136, 66}, ratio, QColor(0x1D, 0x3F, 0x6E));
  {
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 10, QFont::Bold));
    p.drawText(QRectF(0, 0, 133, 62), Qt::AlignCenter, QStringLiteral("Tarnova\nHome page"));
  }
  logo.SetHoverBitmap(picture);
  logo.SetHoverText(QStringLiteral("Go to the software Homepage"));
  Caption(painter, QPoint(20, y + 12), QStringLiteral("logo button (any state) and a clear label"));
  Place(painter, logo, QPoint(20, y + 20), ratio);
  QWidget backdrop(&window);
  backdrop.resize(300, 40);
  backdrop.setAutoFillBackground(true);
  backdrop.setPalette(QPalette(QColor(253, 254, 224)));
  drelin::CClearLabel label(QStringLiteral("Prefix for the repaired files:"), &backdrop);
  label.setGeometry(10, 10, 280, 20);
  Place(painter, backdrop, QPoint(180, y + 30), ratio);
  return sheet;
}

// A frame with the program's menus plus the kinds of item the look has.
struct MenuFrame {
  QMainWindow window;
  QMenu* file = nullptr;
  QMenu* tools = nullptr;
  QAction* add = nullptr;
  QAction* removeAll = nullptr;

  MenuFrame() {
    auto icons = std::make_shared<drelin::MenuImageList>();
    const struct {
      int command;
      QColor color;
      char glyph;
    } images[] = {{32781, QColor(0x2B, 0x7C, 0xD3), '+'}, {32782, QColor(0xC8, 0x3A, 0x32), 'x'},
                  {32783, QColor(0xE0, 0x8A, 0x1E), '-'}, {57665, QColor(0x8A, 0x8F, 0x96), '<'},
                  {32784, QColor(0x7A, 0x4F, 0xC0), 'o'}, {61460, QColor(0x2E, 0xA0, 0x4A), 's'},
                  {32786, QColor(0x2B, 0x7C, 0xD3), '?'}};
    for (const auto& image : images)
      FlatMenu::SetCommandImage(image.command, icons, icons->Add(MenuIcon(image.color, image.glyph)));
    file = window.menuBar()->addMenu(QStringLiteral("&File"));
    add = Command(file, "Add Files...", 32781);
    removeAll = Command(file, "Remove All Files", 32782);
    Command(file, "Remove Selected Files", 32783);
    Command(file, "&Save\tCtrl+S", 61460);
    file->addSeparator();
    auto* modes = new QActionGroup(file);
    for (const char* mode : {"&Normal repair", "&Advance repair"}) {
      QAction* action = file->addAction(QString::fromLatin1(mode));
      action->setCheckable(true);
      action->setChecked(modes->actions().isEmpty());
      modes->addAction(action);
    }
    QAction* log = file->addAction(QStringLiteral("Keep the &log"));
    log->setCheckable(true);
    log->setChecked(true);
    Command(file, "Preview", 61465)->setEnabled(false);
    Command(file, "E&xit", 57665);
    tools = window.menuBar()->addMenu(QStringLiteral("Tools"));
    QAction* setting = Command(tools, "Setting", 32784);
    setting->setCheckable(true);
    setting->setChecked(true);
    Command(tools, "Liveupdate", 32785);
    QMenu* help = window.menuBar()->addMenu(QStringLiteral("&Help"));
    Command(help, "Help", 32786);
    Command(help, "&About Tarnova Drelin DBF...", 57664);
    auto* view = new QWidget;
    view->setAutoFillBackground(true);
    view->setPalette(QPalette(QColor(0xFA, 0xFA, 0xF6)));
    window.setCentralWidget(view);
    FlatMenu::Attach(window.menuBar());
    window.resize(430, 300);
    window.show();
  }

  static QAction* Command(QMenu* menu, const char* text, int command) {
    QAction* action = menu->addAction(QString::fromLatin1(text));
    FlatMenu::SetCommandId(action, command);
    return action;
  }
};

// The frame with `menu` open under its bar item and `selected` highlighted.
void PlaceOpenMenu(QPainter& sheet, MenuFrame& frame, QMenu* menu, QAction* selected, QPoint at, qreal ratio) {
  frame.window.menuBar()->setActiveAction(menu->menuAction());
  menu->setActiveAction(selected);
  QApplication::processEvents();
  Place(sheet, frame.window, at, ratio);
  const QPoint offset = menu->mapToGlobal(QPoint(0, 0)) - frame.window.mapToGlobal(QPoint(0, 0));
  Place(sheet, *menu, at + offset, ratio);
  menu->hide();
  frame.window.menuBar()->setActiveAction(nullptr);
}

QImage MenuSheet(qreal ratio) {
  QImage sheet = Canvas({920, 760}, ratio, kSheet);
  QPainter painter(&sheet);
  MenuFrame frame;
  Caption(painter, QPoint(20, 24), QStringLiteral("gradient icon column, selected item as a gradient, raised icon"));
  PlaceOpenMenu(painter, frame, frame.file, frame.add, QPoint(20, 34), ratio);
  Caption(painter, QPoint(470, 24), QStringLiteral("8 bits per pixel: plain band and fill"));
  FlatMenu::SetDepthOverride(8);
  PlaceOpenMenu(painter, frame, frame.file, frame.removeAll, QPoint(470, 34), ratio);
  FlatMenu::SetDepthOverride(0);
  Caption(painter, QPoint(20, 374), QStringLiteral("checked item with an icon, selected"));
  PlaceOpenMenu(painter, frame, frame.tools, frame.tools->actions().at(0), QPoint(20, 384), ratio);
  QAction* preview = frame.file->actions().at(frame.file->actions().size() - 2);
  Caption(painter, QPoint(470, 374), QStringLiteral("disabled item selected"));
  PlaceOpenMenu(painter, frame, frame.file, preview, QPoint(470, 384), ratio);
  Caption(painter, QPoint(20, 710), QStringLiteral("hot bar item, no popup"));
  MenuFrame hot;
  QMenuBar* bar = hot.window.menuBar();
  const QPoint help = bar->actionGeometry(bar->actions().at(2)).center();
  QMouseEvent move(QEvent::MouseMove, help, bar->mapToGlobal(help), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(bar, &move);
  Place(painter, *bar, QPoint(20, 720), ratio);
  return sheet;
}

}  // namespace

int RenderControlSheets(const QDir& folder) {
  int saved = 0;
  for (const qreal ratio : {1.0, 2.0}) {
    const QString suffix = ratio > 1 ? QStringLiteral("_2x") : QStringLiteral("_1x");
    saved += SaveSheet(ButtonSheet(ratio), folder, QStringLiteral("45_skin_buttons") + suffix) ? 1 : 0;
    saved += SaveSheet(MenuSheet(ratio), folder, QStringLiteral("46_flat_menus") + suffix) ? 1 : 0;
  }
  return saved;
}
