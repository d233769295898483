#include "MessageBoxWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>

#include "MarkupValues.h"
#include "MessageBoxMemory.h"
#include "ShellLaunch.h"

namespace drelin {
namespace {

int g_countdownInterval = 1000;

// "%s" and "%d" of a caption format, each replaced once.
QString FormatCountdown(QString format, const QString& text, int seconds) {
  const qsizetype s = format.indexOf(QLatin1String("%s"));
  if (s >= 0) format.replace(s, 2, text);
  const qsizetype d = format.indexOf(QLatin1String("%d"), s >= 0 ? s + text.size() : 0);
  if (d >= 0) format.replace(d, 2, QString::number(seconds));
  return format;
}

QString CountingCaption(const QString& caption, int seconds) {
  return FormatCountdown(QStringLiteral("%s = %d"), caption, seconds);
}

QStyle::StandardPixmap StandardIcon(std::uint32_t icon) {
  switch (icon) {
    case mb::kIconStop: return QStyle::SP_MessageBoxCritical;
    case mb::kIconQuestion: return QStyle::SP_MessageBoxQuestion;
    case mb::kIconExclamation: return QStyle::SP_MessageBoxWarning;
    default: return QStyle::SP_MessageBoxInformation;
  }
}

}  // namespace

void MessageBoxWindow::SetCountdownInterval(int milliseconds) {
  g_countdownInterval = std::max(milliseconds, 1);
}

MessageBoxWindow::MessageBoxWindow(const MessageBoxParams& params)
    : QDialog(params.parentWindow), params_(params) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::MSWindowsFixedSizeDialogHint;
  if (params_.style & mb::kTopmost) flags |= Qt::WindowStaysOnTopHint;
  setWindowFlags(flags);
  setModal(true);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  font_ = QApplication::font();
  setFont(font_);
  caption_ = params_.caption;
  countdownFormat_ = MessageBoxCaption(params_, mb::kKeyCountdownTitle);

  remaining_ = params_.timeoutSeconds > 0 ? params_.timeoutSeconds
               : params_.disableSeconds > 0 ? params_.disableSeconds : 0;
  timeoutMode_ = params_.timeoutSeconds > 0;
  disableMode_ = !timeoutMode_ && params_.disableSeconds > 0;

  for (MarkupDrawer* drawer : {&headerDrawer_, &messageDrawer_, &moreDrawer_})
    drawer->SetNotify([this](int) { update(); });

  messageMarkup_ = LoadText(params_.text);
  if (params_.style & mb::kRightAlign)
    messageMarkup_ = QStringLiteral("<right>") + messageMarkup_ + QStringLiteral("</right>");
  LoadIcon();
  if (iconHandle_) {
    messageMarkup_ =
        QStringLiteral("<table cellpadding=%1><tr><td width=%2><icon handle=0x%3></td><td>%4</td></tr></table>")
            .arg(QString::number(kSeparatorGap), QString::number(icon_.width()),
                 QString::number(iconHandle_->handle(), 16).toUpper(), messageMarkup_);
  }

  LayOut();
  UpdateTitle();

  const bool defaultIsCancel = defaultButton() != nullptr && row_.buttons[static_cast<std::size_t>(row_.defaultIndex)].id == mb::kIdCancel;
  const int disable = params_.disableSeconds;
  closeEnabled_ = true;
  if (disable < 1 && !row_.cancelAllowed) closeEnabled_ = false;
  if (disable > 0 && params_.countdownInCaption) closeEnabled_ = false;
  if (disable > 0 && !params_.countdownInCaption && (!row_.cancelAllowed || defaultIsCancel))
    closeEnabled_ = false;
  // The close button is set before the window shows: changing window flags
  // of a shown dialog would hide it and end its modal loop.
  setWindowFlag(Qt::WindowCloseButtonHint, closeEnabled_);

  setFixedSize(clientWidth_, clientHeight_);
  CenterWindow();
  PlaceControls();

  timer_.setInterval(g_countdownInterval);
  connect(&timer_, &QTimer::timeout, this, &MessageBoxWindow::CountdownStep);
  if (remaining_ > 0) timer_.start();
}

MessageBoxWindow::~MessageBoxWindow() = default;

void MessageBoxWindow::LoadIcon() {
  const std::uint32_t bits = params_.style & mb::kIconMask;
  if (bits == mb::kIconCustom) {
    const MessageText& icon = params_.customIcon;
    if (icon.isResource()) {
      icon_ = params_.iconInstance.isEmpty() ? LoadProgramImage(icon.id())
                                             : LoadModuleImage(params_.iconInstance, icon.id(), true);
    } else if (!icon.text().isEmpty()) {
      icon_ = icon.text().startsWith(QLatin1Char(':')) ? QImage(icon.text()) : LoadImageFile(icon.text());
    }
  } else if (bits == mb::kIconStop || bits == mb::kIconQuestion || bits == mb::kIconExclamation ||
             bits == mb::kIconInformation) {
    icon_ = style()->standardIcon(StandardIcon(bits), nullptr, this).pixmap(kIconSize, kIconSize).toImage();
    if (!icon_.isNull() && icon_.size() != QSize(kIconSize, kIconSize))
      icon_ = icon_.scaled(kIconSize, kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  if (!icon_.isNull()) iconHandle_ = std::make_unique<ScopedMarkupImage>(icon_);
}

int MessageBoxWindow::SeparatorTextWidth(const MessageBoxArea& area) const {
  return QFontMetrics(font_).horizontalAdvance(LoadText(area.separatorText));
}

void MessageBoxWindow::LayOut() {
  const QFontMetrics metrics(font_);
  int widest = 0;
  headerSeparatorText_ = LoadText(params_.headerArea.separatorText);
  controlSeparatorText_ = LoadText(params_.controlArea.separatorText);
  moreSeparatorText_ = LoadText(params_.moreArea.separatorText);

  if (params_.headerHeight > 0) {
    headerMarkup_ = LoadText(params_.headerText);
    const QSize size = headerMarkup_.isEmpty() ? QSize() : headerDrawer_.Measure(this, headerMarkup_);
    headerHeight_ = std::max(params_.headerHeight, size.height() + 2 * kTextMargin);
    widest = std::max(widest, size.width() + 2 * kTextMargin);
    if (params_.headerArea.separatorStyle != 0)
      widest = std::max(widest, SeparatorTextWidth(params_.headerArea) + 2 * kSeparatorGap);
  }
  if (!messageMarkup_.isEmpty()) {
    const QSize size = messageDrawer_.Measure(this, messageMarkup_);
    messageHeight_ = size.height() + 2 * kTextMargin;
    widest = std::max(widest, size.width() + 2 * kTextMargin);
  }
  moreMarkup_ = LoadText(params_.moreText);
  if (!moreMarkup_.isEmpty()) {
    const QSize size = moreDrawer_.Measure(this, moreMarkup_);
    moreHeight_ = size.height() + 2 * kTextMargin;
    widest = std::max(widest, size.width() + 2 * kTextMargin);
  }
  controlMargin_ = kButtonAreaMargin;
  if (params_.controlArea.backgroundEffect >= 0 || params_.controlArea.separatorStyle != 0)
    controlMargin_ = 2 * kButtonAreaMargin;
  if (params_.controlArea.separatorStyle != 0)
    widest = std::max(widest, SeparatorTextWidth(params_.controlArea) + 2 * kSeparatorGap);

  if (params_.style & mb::kCheckbox) {
    controlMargin_ += kCheckboxSize + kButtonGap;
    const QString label = MessageBoxCaption(params_, mb::kKeyCheckbox);
    widest = std::max(widest, metrics.horizontalAdvance(label) + 2 * kCheckboxMargin + 20);
    checkBox_ = new QCheckBox(this);
    checkBox_->setFocusPolicy(Qt::StrongFocus);
    checkBox_->setChecked(params_.style & mb::kChecked);
    checkLabel_ = new QLabel(label, this);
    checkLabel_->setFont(font_);
    checkLabel_->setTextFormat(Qt::PlainText);
    checkLabel_->setAttribute(Qt::WA_TranslucentBackground);
    checkLabel_->setBuddy(checkBox_);
  }

  row_ = BuildButtonRow(params_, params_.parentWindow != nullptr);
  moreCaption_ = MessageBoxCaption(params_, mb::kIdMore);
  lessCaption_ = MessageBoxCaption(params_, mb::kIdLess);
  int buttonWidth = kMinButtonWidth;
  int buttonHeight = kMinButtonHeight;
  for (const MessageBoxButton& button : row_.buttons) {
    int width = metrics.horizontalAdvance(button.caption);
    if (button.id == mb::kIdMore)
      width = std::max(metrics.horizontalAdvance(moreCaption_), metrics.horizontalAdvance(lessCaption_));
    buttonWidth = std::max(buttonWidth, MulDiv(width, kMinButtonWidth, 45));
    buttonHeight = std::max(buttonHeight, MulDiv(metrics.height(), kMinButtonHeight, 13));
  }
  buttonSize_ = QSize(buttonWidth, buttonHeight);
  const int count = static_cast<int>(row_.buttons.size());
  widest = std::max(widest, kButtonGap + count * (kButtonGap + buttonWidth));
  CreateButtons();

  // Wide enough for the title as well, so a short message never cuts the
  // caption short (a bold caption plus room for the close box).
  QFont titleFont = font_;
  titleFont.setBold(true);
  widest = std::max(widest, QFontMetrics(titleFont).horizontalAdvance(caption_) + kTitleRoom);

  clientWidth_ = widest;
  clientHeight_ = headerHeight_ + messageHeight_ + controlMargin_ + buttonSize_.height();
}

void MessageBoxWindow::CreateButtons() {
  const std::size_t defaultIndex = static_cast<std::size_t>(row_.defaultIndex);
  for (std::size_t i = 0; i < row_.buttons.size(); ++i) {
    const MessageBoxButton& entry = row_.buttons[i];
    auto* button = new QPushButton(entry.caption, this);
    button->setFont(font_);
    button->setFixedSize(buttonSize_);
    // Like the original dialog manager: the focused button answers Enter.
    button->setAutoDefault(true);
    const int id = entry.id;
    connect(button, &QPushButton::clicked, this, [this, id] { Command(id); });
    buttonWidgets_.push_back(button);
    const bool isDefault = i == defaultIndex;
    if (isDefault) {
      defaultCaption_ = entry.caption;
      button->setDefault(true);
      button->setFocus();
    }
    if (timeoutMode_ && isDefault) button->setText(CountingCaption(entry.caption, remaining_));
    if (disableMode_ && params_.countdownInCaption && id != mb::kIdHelp) button->setEnabled(false);
    if (disableMode_ && !params_.countdownInCaption && isDefault && id != mb::kIdHelp) {
      button->setEnabled(false);
      button->setDefault(false);
      button->setText(CountingCaption(entry.caption, remaining_));
    }
  }
}

void MessageBoxWindow::PlaceControls() {
  const int cw = clientWidth_;
  const int ch = clientHeight_;
  const bool below = (params_.style & mb::kCheckbox) && (params_.style & mb::kCheckboxBelow);
  const int count = static_cast<int>(buttonWidgets_.size());
  const int top = ch - kButtonAreaMargin - buttonSize_.height() - (below ? kCheckboxSize + kButtonGap : 0);
  const int total = count * (buttonSize_.width() + kButtonGap) - kButtonGap;
  int left = params_.buttonAlignment == 0   ? kButtonAreaMargin
             : params_.buttonAlignment == 1 ? cw - kButtonAreaMargin - total
                                            : (cw - total) / 2;
  for (QPushButton* button : buttonWidgets_) {
    button->move(left, top);
    left += buttonSize_.width() + kButtonGap;
  }
  if (checkBox_ != nullptr) {
    const int boxTop = (below ? ch - kButtonAreaMargin : ch - 2 * kButtonAreaMargin - buttonSize_.height()) - kCheckboxSize;
    const int indicator = std::max(kCheckboxSize, style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, checkBox_));
    checkBox_->setGeometry(kCheckboxMargin, boxTop - (indicator - kCheckboxSize) / 2, indicator, indicator);
    // The label keeps its text's own height so descenders are not cut,
    // centred on the 13-pixel check box row.
    const QFontMetrics metrics(font_);
    const int labelHeight = std::max(kCheckboxSize, metrics.height());
    checkLabel_->setGeometry(kCheckboxMargin + kCheckboxSize + 6, boxTop - (labelHeight - kCheckboxSize) / 2,
                             metrics.horizontalAdvance(checkLabel_->text()) + 2, labelHeight);
  }
}

void MessageBoxWindow::CenterWindow() {
  QRect area;
  if (params_.parentWindow != nullptr) {
    area = params_.parentWindow->window()->frameGeometry();
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->geometry();
  }
  if (area.isValid())
    move(area.left() + (area.width() - clientWidth_) / 2, area.top() + (area.height() - clientHeight_) / 2);
}

void MessageBoxWindow::UpdateTitle() {
  if (disableMode_ && params_.countdownInCaption && remaining_ > 0)
    setWindowTitle(FormatCountdown(countdownFormat_, caption_, remaining_));
  else
    setWindowTitle(caption_);
}

QPushButton* MessageBoxWindow::button(int id) const {
  for (std::size_t i = 0; i < row_.buttons.size(); ++i)
    if (row_.buttons[i].id == id) return buttonWidgets_[i];
  return nullptr;
}

QPushButton* MessageBoxWindow::defaultButton() const {
  if (buttonWidgets_.empty()) return nullptr;
  return buttonWidgets_[static_cast<std::size_t>(row_.defaultIndex)];
}

bool MessageBoxWindow::EndsWith(int id) const {
  if (id == mb::kIdCancel && row_.cancelAllowed) return true;
  if (id == mb::kIdHelp || id == mb::kIdReport || id == mb::kIdMore || id == mb::kIdLess) return false;
  return std::any_of(row_.buttons.begin(), row_.buttons.end(),
                     [id](const MessageBoxButton& button) { return button.id == id; });
}

void MessageBoxWindow::Command(int id) {
  if (finished_ || id == 0) return;
  if (id == mb::kIdCancel && !row_.cancelAllowed) return;
  if (id == mb::kIdHelp) {
    ShellLaunch::OpenHelpPage(params_.helpContextId);
    return;
  }
  if (id == mb::kIdReport) {
    const auto type = params_.reportMessage;
    if (params_.parentWindow != nullptr && type >= QEvent::User && type <= QEvent::MaxUser) {
      QEvent event(static_cast<QEvent::Type>(type));
      QCoreApplication::sendEvent(params_.parentWindow, &event);
    }
    return;
  }
  if (id == mb::kIdMore || id == mb::kIdLess) {
    expanded_ = !expanded_;
    if (QPushButton* more = button(mb::kIdMore)) more->setText(expanded_ ? lessCaption_ : moreCaption_);
    setFixedSize(clientWidth_, clientHeight_ + (expanded_ ? moreHeight_ : 0));
    update();
    return;
  }
  timer_.stop();
  int result = id;
  if (checkBox_ != nullptr && checkBox_->isChecked()) {
    result |= static_cast<int>(params_.style & mb::kChecked);
    StoreRememberedAnswer(params_, result);
  }
  Finish(result);
}

void MessageBoxWindow::Finish(int result) {
  finished_ = true;
  setResult(result);
  done(result);
}

void MessageBoxWindow::CountdownStep() {
  if (finished_) return;
  QPushButton* defaultWidget = defaultButton();
  const bool defaultIsHelp = defaultWidget != nullptr &&
                             row_.buttons[static_cast<std::size_t>(row_.defaultIndex)].id == mb::kIdHelp;
  if (remaining_ > 1) {
    --remaining_;
    if (disableMode_ && params_.countdownInCaption) UpdateTitle();
    else if (defaultWidget != nullptr && !(disableMode_ && defaultIsHelp))
      defaultWidget->setText(CountingCaption(defaultCaption_, remaining_));
    return;
  }
  remaining_ = 0;
  timer_.stop();
  if (disableMode_) {
    if (row_.cancelAllowed) closeEnabled_ = true;
    if (params_.countdownInCaption) {
      UpdateTitle();
      for (QPushButton* button : buttonWidgets_) button->setEnabled(true);
    } else if (defaultWidget != nullptr) {
      defaultWidget->setText(defaultCaption_);
    }
    if (defaultWidget != nullptr) {
      defaultWidget->setEnabled(true);
      defaultWidget->setDefault(true);
      defaultWidget->setFocus();
    }
  } else if (timeoutMode_ && defaultWidget != nullptr) {
    defaultWidget->setText(defaultCaption_);
    Command(row_.buttons[static_cast<std::size_t>(row_.defaultIndex)].id);
  }
}

void MessageBoxWindow::reject() {
  if (closeEnabled_) Command(mb::kIdCancel);
}

void MessageBoxWindow::closeEvent(QCloseEvent* event) {
  if (finished_) {
    event->accept();
    return;
  }
  event->ignore();
  if (closeEnabled_) Command(mb::kIdCancel);
}

void MessageBoxWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (params_.style & mb::kForeground) {
    raise();
    activateWindow();
  }
}

void MessageBoxWindow::PaintSeparator(QPainter& painter, const MessageBoxArea& area, const QString& text,
                                      int y, int width) {
  const int style = area.separatorStyle;
  if (style < 1 || style > 3) return;
  auto line = [&](int from, int to) {
    if (to <= from) return;
    if (style == 1) MarkupGraphics::DrawEtchedLine(painter, from, to, y);
    else painter.fillRect(QRect(from, y, to - from, 1), style == 2 ? Qt::black : Qt::white);
  };
  const bool withText = !text.isEmpty() && area.separatorAlignment >= 0 && area.separatorAlignment <= 2;
  if (!withText) {
    line(0, width);
    return;
  }
  const QFontMetrics metrics(font_);
  const int textWidth = metrics.horizontalAdvance(text);
  int left = (width - textWidth) / 2;
  if (area.separatorAlignment == 0) left = kSeparatorGap;
  if (area.separatorAlignment == 1) left = width - kSeparatorGap - textWidth;
  if (area.separatorAlignment != 0) line(0, left - kSeparatorGap);
  if (area.separatorAlignment != 1) line(left + textWidth + kSeparatorGap, width);
  const int baseline = y - metrics.height() / 2 + metrics.ascent();
  painter.setFont(font_);
  painter.setPen(SystemColor(kColorButtonHighlight).toQColor());
  painter.drawText(QPoint(left + 1, baseline + 1), text);
  painter.setPen(SystemColor(kColorButtonShadow).toQColor());
  painter.drawText(QPoint(left, baseline), text);
}

void MessageBoxWindow::PaintBackground(QPainter& painter, const QRect& full) {
  MarkupGraphics graphics;
  const MessageBoxArea& message = params_.messageArea;
  if (message.backgroundEffect >= 0)
    graphics.FillEffect(painter, message.backgroundEffect, full, message.startColor, message.midColor,
                        message.endColor, 0, 0);
  else
    painter.fillRect(full, SystemColor(kColorButtonFace).toQColor());
  const int width = full.width();
  if (headerHeight_ > 0) {
    const MessageBoxArea& header = params_.headerArea;
    const QRect band(0, 0, width, headerHeight_);
    if (header.backgroundEffect >= 0)
      graphics.FillEffect(painter, header.backgroundEffect, band, header.startColor, header.midColor,
                          header.endColor, 0, 0);
    PaintSeparator(painter, header, headerSeparatorText_, headerHeight_ - (header.separatorStyle == 1 ? 2 : 1), width);
  }
  const int controlTop = headerHeight_ + messageHeight_;
  const int controlBottom = controlTop + controlHeight();
  const MessageBoxArea& control = params_.controlArea;
  if (control.backgroundEffect >= 0)
    graphics.FillEffect(painter, control.backgroundEffect, QRect(0, controlTop, width, controlHeight()),
                        control.startColor, control.midColor, control.endColor, 0, 0);
  PaintSeparator(painter, control, controlSeparatorText_, controlTop, width);
  if (moreHeight_ > 0) {
    const MessageBoxArea& more = params_.moreArea;
    if (more.backgroundEffect >= 0)
      graphics.FillEffect(painter, more.backgroundEffect, QRect(0, controlBottom, width, full.height() - controlBottom),
                          more.startColor, more.midColor, more.endColor, 0, 0);
  }
}

void MessageBoxWindow::paintEvent(QPaintEvent*) {
  const QRect full(0, 0, clientWidth_, clientHeight_ + moreHeight_);
  if (background_.size() != full.size()) {
    background_ = QPixmap(full.size());
    QPainter backgroundPainter(&background_);
    PaintBackground(backgroundPainter, full);
  }
  QPainter painter(this);
  painter.drawPixmap(0, 0, background_);
  const int width = clientWidth_;
  if (headerHeight_ > 0)
    headerDrawer_.Draw(painter, QRect(0, 0, width, headerHeight_).adjusted(kTextMargin, kTextMargin, -kTextMargin, -kTextMargin));
  if (messageHeight_ > 0)
    messageDrawer_.Draw(painter, QRect(0, headerHeight_, width, messageHeight_)
                                     .adjusted(kTextMargin, kTextMargin, -kTextMargin, -kTextMargin));
  // The More separator is drawn only when expanded: its text straddles the
  // collapsed window's bottom edge.
  if (expanded_ && moreHeight_ > 0)
    PaintSeparator(painter, params_.moreArea, moreSeparatorText_, clientHeight_, width);
  if (expanded_ && moreHeight_ > 0)
    moreDrawer_.Draw(painter, QRect(0, clientHeight_, width, moreHeight_).adjusted(kTextMargin, kTextMargin, -kTextMargin, 0));
}

void MessageBoxWindow::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  bool overLink = false;
  if (headerHeight_ > 0 && headerDrawer_.HasText()) overLink = headerDrawer_.OnMouseMove(point) || overLink;
  if (messageHeight_ > 0) overLink = messageDrawer_.OnMouseMove(point) || overLink;
  if (expanded_ && moreHeight_ > 0) overLink = moreDrawer_.OnMouseMove(point) || overLink;
  if (overLink) setCursor(messageDrawer_.LinkCursor());
  else unsetCursor();
  QDialog::mouseMoveEvent(event);
}

void MessageBoxWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    const QPoint point = event->position().toPoint();
    if (headerHeight_ > 0 && headerDrawer_.HasText()) headerDrawer_.OnClick(point);
    if (messageHeight_ > 0) messageDrawer_.OnClick(point);
    if (expanded_ && moreHeight_ > 0) moreDrawer_.OnClick(point);
  }
  QDialog::mousePressEvent(event);
}

}  // namespace drelin
