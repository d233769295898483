// The skinned controls: the colour routines, the state colours with their
// return codes, masks and painting read from rendered images, hover
// tracking and its cancellation, colours across a palette change, clicks,
// tips and focus; the logo button's hover timer driven tick by tick; the
// clear label and the log box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "ClearLabel.h"
#include "LogEdit.h"
#include "LogoButton.h"
#include "MarkupColors.h"
#include "SkinButton.h"
#include "TransformHls.h"

namespace drelin {
namespace {

ColorRef Pixel(const QImage& image, int x, int y) { return ColorRef::FromQColor(image.pixelColor(x, y)); }
QImage Grab(QWidget& widget) { return widget.grab().toImage(); }

QImage Filled(QSize size, QColor color) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(color);
  return image;
}

void Move(QWidget& widget, QPoint at, Qt::MouseButtons buttons = Qt::NoButton) {
  QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(&widget, &move);
}

void Send(QWidget& widget, QEvent::Type type, QPoint at = {5, 5}) {
  QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton,
                    type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

// One tick of a timer, as its expiry would deliver it.
void Tick(QTimer& timer) { QMetaObject::invokeMethod(&timer, "timeout"); }

TEST(SkinColors, TransformHlsAndShade) {
  for (int grey : {0, 1, 77, 128, 200, 254, 255})
    for (int lightness : {-100, -27, 0, 20, 75, 100}) {
      const ColorRef out = TransformHls(ColorRef::FromRgb(grey, grey, grey), lightness, 0);
      EXPECT_TRUE(out.red() == out.green() && out.green() == out.blue()) << grey << " " << lightness;
    }
  EXPECT_EQ(TransformHls(ColorRef(0xFFFFFF), 75, 0), ColorRef(0xFFFFFF));
  EXPECT_EQ(TransformHls(ColorRef(0), 20, 0), ColorRef::FromRgb(51, 51, 51));
  EXPECT_EQ(TransformHls(ColorRef::FromRgb(240, 240, 240), -18, 0), ColorRef::FromRgb(196, 196, 196));
  // Without a change the colour comes back within the bytes' rounding, in every hue sector.
  for (const ColorRef color : {ColorRef::FromRgb(255, 206, 66), ColorRef::FromRgb(51, 153, 255),
                               ColorRef::FromRgb(200, 30, 90), ColorRef::FromRgb(20, 180, 40)}) {
    const ColorRef same = TransformHls(color, 0, 0);
    EXPECT_LE(std::abs(same.red() - color.red()) + std::abs(same.green() - color.green()) +
                  std::abs(same.blue() - color.blue()),
              6)
        << std::hex << color.value();
  }
  EXPECT_EQ(TransformHls(ColorRef::FromRgb(51, 153, 255), 0, -100), ColorRef::FromRgb(153, 153, 153));

  EXPECT_EQ(ShadeColor(ColorRef::FromRgb(100, 240, 30), 100), ColorRef::FromRgb(115, 255, 45));
  EXPECT_EQ(ShadeColor(ColorRef::FromRgb(100, 240, 30), -100), ColorRef::FromRgb(70, 210, 0));
  EXPECT_EQ(ShadeColor(ColorRef::FromRgb(10, 20, 30), 255), ColorRef::FromRgb(235, 245, 255));
}

TEST(SkinButtonSetters, ReturnCodesAndUnchangedState) {
  CSkinButton button;
  const ColorRef face = SystemColor(kColorButtonFace);
  button.SetStateColor(CSkinButton::kBackgroundIn, ColorRef::FromRgb(100, 240, 30));
  EXPECT_EQ(button.ShadeStateColor(CSkinButton::kBackgroundIn, 100), 0);
  EXPECT_EQ(button.stateColor(CSkinButton::kBackgroundIn), ColorRef::FromRgb(115, 255, 45));
  const struct {
    int result, expected;
  } codes[] = {{button.SetStateColor(6, ColorRef(0x123456)), 3},
               {button.SetStateColor(-1, ColorRef(0)), 3},
               {button.ShadeStateColor(6, 10), 3},
               {button.ShadeStateColor(0, 256), 5},
               {button.ShadeStateColor(0, -256), 5},
               {button.SetImageAlignment(4), 4},
               {button.SetImageAlignment(2), 0},
               {button.SetImages(QImage(), ColorRef()), 1},
               {button.SetImages(987654, ColorRef()), 1}};
  for (const auto& c : codes) EXPECT_EQ(c.result, c.expected);
  EXPECT_EQ(button.stateColor(CSkinButton::kBackgroundIn), ColorRef::FromRgb(115, 255, 45));
  for (int index = 1; index < 6; ++index) EXPECT_EQ(button.stateColor(index), index % 2 ? SystemColor(18) : face);
  button.ResetStateColors();
  EXPECT_EQ(button.stateColor(CSkinButton::kBackgroundIn), face);
}

TEST(SkinButtonPainting, LayoutOfImageAndText) {
  const QRect client(0, 0, 58, 50);
  const QSize image(20, 10);
  const struct {
    int alignment;
    bool text;
    QRect image;
    QRect text_;
  } cases[] = {{0, false, {19, 20, 20, 10}, client},
               {0, true, {3, 20, 20, 10}, QRect(26, 0, 32, 50)},
               {1, true, {19, 3, 20, 10}, QRect(0, 16, 58, 34)},
               {1, false, {19, 20, 20, 10}, client},
               {2, true, {35, 20, 20, 10}, QRect(0, 0, 32, 50)},
               {2, false, {19, 0, 20, 10}, client},  // centred across, its top at the top
               {3, true, {0, 0, 20, 10}, client}};
  for (const auto& c : cases) {
    const SkinLayout layout = LayoutSkinButton(client, image, c.alignment, c.text);
    EXPECT_EQ(layout.image, c.image) << c.alignment << c.text;
    EXPECT_EQ(layout.text, c.text_) << c.alignment << c.text;
  }
}

// A button set up as the main view sets up its bitmap buttons.
struct ViewButton {
  CSkinButton button;
  static constexpr QRgb kNormal = 0xFF2060C0;
  static constexpr QRgb kHover = 0xFFE08020;

  ViewButton() {
    button.resize(58, 50);
    QImage normal = Filled({50, 38}, QColor::fromRgb(kNormal));
    QImage hover = Filled({50, 38}, QColor::fromRgb(kHover));
    for (QImage* image : {&normal, &hover}) {
      image->setPixelColor(0, 0, Qt::black);  // key: not drawn
      image->setPixelColor(1, 0, QColor(1, 0, 0));
      image->setPixelColor(2, 0, QColor(0, 1, 0));
      image->setPixelColor(3, 0, QColor(0, 0, 1));
    }
    EXPECT_EQ(button.SetImages(hover, ColorRef(0), normal, ColorRef(0)), 0);
    button.ShadeStateColor(CSkinButton::kBackgroundIn, 100);
    button.SetStateColor(CSkinButton::kTextIn, ColorRef::FromRgb(0, 128, 0));
    button.SetImageAlignment(CSkinButton::kImageRight);
    button.SetTipText("Next", true);
  }
};

TEST(SkinButtonPainting, MaskStatesAndEmbossedLook) {
  ViewButton view;
  CSkinButton& button = view.button;
  const ColorRef face = SystemColor(kColorButtonFace);
  QImage image = Grab(button);
  // The image: centred across, top at the top; exactly black is the key.
  EXPECT_EQ(Pixel(image, 4, 0), face);
  EXPECT_EQ(Pixel(image, 5, 0), ColorRef::FromRgb(1, 0, 0));
  EXPECT_EQ(Pixel(image, 6, 0), ColorRef::FromRgb(0, 1, 0));
  EXPECT_EQ(Pixel(image, 7, 0), ColorRef::FromRgb(0, 0, 1));
  EXPECT_EQ(Pixel(image, 20, 20), ColorRef::FromQColor(QColor::fromRgb(view.kNormal)));
  EXPECT_EQ(Pixel(image, 20, 45), face);

  Move(button, {20, 20});
  ASSERT_TRUE(button.hovered());
  image = Grab(button);
  EXPECT_EQ(Pixel(image, 20, 20), ColorRef::FromQColor(QColor::fromRgb(view.kHover)));
  EXPECT_EQ(Pixel(image, 20, 45), ShadeColor(face, 100));
  EXPECT_EQ(Pixel(image, 0, 0), SystemColor(kColorButtonHighlight));  // raised edge
  EXPECT_EQ(Pixel(image, 57, 49), SystemColor(kColorButtonShadow));

  button.setDown(true);
  image = Grab(button);
  EXPECT_EQ(Pixel(image, 0, 0), SystemColor(kColorButtonShadow));  // sunken edge
  EXPECT_EQ(Pixel(image, 57, 49), SystemColor(kColorButtonHighlight));
  EXPECT_EQ(Pixel(image, 5, 1), ShadeColor(face, 100));  // the image moved by (1, 1)
  EXPECT_EQ(Pixel(image, 6, 1), ColorRef::FromRgb(1, 0, 0));
  button.setDown(false);

  button.setEnabled(false);
  image = Grab(button);
  EXPECT_FALSE(button.hovered());
  EXPECT_EQ(Pixel(image, 20, 20), SystemColor(kColorButtonShadow));     // dark parts in the shadow colour
  EXPECT_EQ(Pixel(image, 54, 38), SystemColor(kColorButtonHighlight));  // and once more one pixel down-right

  // A failed load releases both images; the button still paints its colours.
  button.setEnabled(true);
  EXPECT_EQ(button.SetImages(987654, ColorRef(0), 987655, ColorRef(0)), 1);
  EXPECT_FALSE(button.hasImages());
  EXPECT_EQ(Pixel(Grab(button), 20, 20), face);
}

TEST(SkinButtonHover, TrackedAndCancelled) {
  QWidget window;
  window.resize(200, 100);
  ViewButton view;
  CSkinButton& button = view.button;
  button.setParent(&window);
  QLineEdit other(&window);
  other.move(100, 0);
  window.show();
  QApplication::setActiveWindow(&window);

  Move(button, {10, 10}, Qt::LeftButton);  // dragging in does not hover
  EXPECT_FALSE(button.hovered());
  Move(button, {10, 10});
  EXPECT_TRUE(button.hovered());
  Move(button, {70, 10}, Qt::LeftButton);  // pressed and moved out
  EXPECT_FALSE(button.hovered());

  QEvent leave(QEvent::Leave);
  QWidget popup;
  const std::function<void()> cancels[] = {
      [&] { QApplication::sendEvent(&button, &leave); },
      [&] { popup.show(), QApplication::setActiveWindow(&popup); },  // deactivation
      [&] { button.setEnabled(false); },
      [&] { button.setFocus(), other.setFocus(); },  // losing the focus
      [&] { button.hide(); }};
  for (std::size_t i = 0; i < std::size(cancels); ++i) {
    button.setEnabled(true);
    button.show();
    QApplication::setActiveWindow(&window);
    other.setFocus();
    Move(button, {10, 10});
    ASSERT_TRUE(button.hovered()) << i;
    cancels[i]();
    EXPECT_FALSE(button.hovered()) << i;
  }
}

TEST(SkinButtonColors, OwnerColorsSurviveAPaletteChange) {
  QWidget owner;
  ViewButton view;
  view.button.setParent(&owner);
  const QPalette saved = QApplication::palette();
  QPalette dark = saved;
  dark.setColor(QPalette::Button, QColor(60, 70, 80));
  dark.setColor(QPalette::ButtonText, QColor(250, 250, 250));
  QApplication::setPalette(dark);
  QCoreApplication::sendPostedEvents();  // widgets hear of it through posted events
  const ColorRef face = ColorRef::FromRgb(60, 70, 80);
  EXPECT_EQ(view.button.stateColor(CSkinButton::kBackgroundIn), ShadeColor(face, 100));
  EXPECT_EQ(view.button.stateColor(CSkinButton::kTextIn), ColorRef::FromRgb(0, 128, 0));
  EXPECT_EQ(view.button.stateColor(CSkinButton::kBackgroundOut), face);
  EXPECT_EQ(view.button.stateColor(CSkinButton::kTextOut), ColorRef::FromRgb(250, 250, 250));
  QApplication::setPalette(saved);
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(view.button.stateColor(CSkinButton::kBackgroundOut), SystemColor(kColorButtonFace));
}

TEST(SkinButtonInput, DoubleClickTipAndFocus) {
  QWidget window;
  QLineEdit edit(&window);
  ViewButton view;
  CSkinButton& button = view.button;
  button.setParent(&window);
  button.move(0, 30);
  QSignalSpy clicks(&button, &QAbstractButton::clicked);
  for (QEvent::Type type :
       {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
    Send(button, type);
  EXPECT_EQ(clicks.count(), 2);

  // Tab reaches the button; its tip is its accessible name.
  window.show();
  QApplication::setActiveWindow(&window);
  edit.setFocus();
  QTest::keyClick(&edit, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), &button);
  EXPECT_EQ(button.accessibleName(), "Next");
  EXPECT_FALSE(button.isDefault() || button.autoDefault());

  QString longTip;
  for (int i = 0; i < 40; ++i) longTip += "Update the software ";
  button.SetTipText(longTip.trimmed(), true);
  const QFontMetrics metrics(QToolTip::font());
  const QStringList lines = button.tip().ShownText().split('\n');
  EXPECT_GT(lines.size(), 2);
  for (const QString& line : lines) EXPECT_LE(metrics.horizontalAdvance(line), 400) << line.toStdString();
  EXPECT_EQ(lines.join(' '), longTip.trimmed());
  QHelpEvent help(QEvent::ToolTip, {5, 5}, button.mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(&button, &help);
  EXPECT_EQ(QToolTip::text(), button.tip().ShownText());
  QToolTip::hideText();
}

TEST(LogoButton, HoverTimerDrivenByEvents) {
  QWidget window;
  CLogoButton logo(&window);
  logo.move(30, 40);
  QImage picture = Filled({136, 66}, QColor(192, 192, 192));
  picture.setPixelColor(1, 1, QColor(10, 120, 200));
  ASSERT_TRUE(logo.SetHoverBitmap(picture));
  logo.SetHoverText("Go to the software Homepage");
  logo.SetHoverTip("Go to the software Homepage", true);
  EXPECT_EQ(logo.geometry(), QRect(30, 40, 136, 66));
  EXPECT_EQ(logo.cursor().shape(), Qt::PointingHandCursor);
  const QImage normal = Grab(logo);
  EXPECT_EQ(Pixel(normal, 0, 0), SystemColor(kColorButtonFace));  // the 3-D grey mapped
  EXPECT_EQ(Pixel(normal, 1, 1), ColorRef::FromRgb(10, 120, 200));
  logo.setDown(true);
  EXPECT_EQ(Grab(logo), normal);  // pressed shows the same picture
  logo.setDown(false);
  window.show();

  QEnterEvent enter(QPointF(5, 5), QPointF(35, 45), logo.mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(&logo, &enter);
  EXPECT_TRUE(logo.hovered());
  EXPECT_TRUE(logo.hoverTimer().isActive());
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);  // no pointer grab
  Move(logo, {100, 60});
  Tick(logo.hoverTimer());  // pointer inside: the timer keeps running
  EXPECT_TRUE(logo.hovered() && logo.hoverTimer().isActive());
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&logo, &leave);
  Tick(logo.hoverTimer());  // the first tick after leaving ends it
  EXPECT_FALSE(logo.hovered());
  EXPECT_FALSE(logo.hoverTimer().isActive());
  Move(logo, {10, 10}, Qt::LeftButton);  // arriving with the button held does not hover
  EXPECT_FALSE(logo.hovered());

  logo.SetHoverText(QString(300, QChar(0x00E9)));  // two bytes each
  EXPECT_EQ(logo.hoverText().toUtf8().size(), 260);
}

TEST(PlainControls, ClearLabelAndLogBox) {
  struct Backdrop : QWidget {
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(253, 254, 224)); }
  } dialog;
  dialog.resize(300, 60);
  CClearLabel label("WWWWWWWWWWWWWWWWWWWWWWWWWWW", &dialog);
  label.setGeometry(10, 10, 280, 30);
  EXPECT_EQ(label.textFormat(), Qt::PlainText);
  dialog.show();
  QImage image = Grab(dialog);
  EXPECT_EQ(Pixel(image, 12, 5), ColorRef::FromRgb(253, 254, 224));
  label.SetText("i");
  image = Grab(dialog);
  bool trace = false;
  for (int x = 60; x < 290; ++x)
    for (int y = 10; y < 40; ++y) trace = trace || Pixel(image, x, y) != ColorRef::FromRgb(253, 254, 224);
  EXPECT_FALSE(trace);

  struct Owner : QWidget {
    int menus = 0;
    void contextMenuEvent(QContextMenuEvent*) override { ++menus; }
  } owner;
  CLogEdit log(&owner);
  EXPECT_TRUE(log.isReadOnly());
  QContextMenuEvent request(QContextMenuEvent::Mouse, {5, 5}, log.mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(log.viewport(), &request);
  EXPECT_EQ(owner.menus, 0);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

}  // namespace
}  // namespace drelin
