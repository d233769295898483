#include "PreviewListCtrl.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>

#include "ColorRef.h"
#include "FileError.h"

namespace drelin {

namespace {

constexpr int kHorizontalStep = 20;    // pixels per arrow of the horizontal bar
constexpr int kWheelDelta = 120;       // one notch of a wheel
constexpr ColorRef kGridLineColor = ColorRef::FromRgb(208, 208, 208);

}  // namespace

// The header's view of the content: its columns' titles, and no rows.
class PreviewHeaderModel : public QAbstractTableModel {
 public:
  explicit PreviewHeaderModel(const PreviewContent& content) : content_(content) {}

  int rowCount(const QModelIndex&) const override { return 0; }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : content_.columnCount();
  }
  QVariant data(const QModelIndex&, int) const override { return {}; }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || section < 0 || section >= content_.columnCount()) return {};
    if (role == Qt::TextAlignmentRole) return static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    // A title is one line, whatever bytes the descriptor holds.
    QString title = content_.Title(section);
    title.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return title;
  }

  // Runs `change` as a change of every column.
  template <typename Change>
  void Reset(Change change) {
    beginResetModel();
    change();
    endResetModel();
  }
  void TitlesChanged() {
    if (content_.columnCount() > 0) emit headerDataChanged(Qt::Horizontal, 0, content_.columnCount() - 1);
  }

 private:
  const PreviewContent& content_;
};

CPreviewListCtrl::CPreviewListCtrl(QWidget* parent)
    : QAbstractScrollArea(parent),
      headerModel_(std::make_unique<PreviewHeaderModel>(content_)),
      header_(new QHeaderView(Qt::Horizontal, this)) {
  setFocusPolicy(Qt::StrongFocus);
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  header_->setModel(headerModel_.get());
  header_->setFocusPolicy(Qt::NoFocus);
  header_->setSectionsClickable(false);
  header_->setSectionsMovable(false);
  header_->setHighlightSections(false);
  header_->setStretchLastSection(false);
  header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header_->setSectionResizeMode(QHeaderView::Interactive);
  connect(header_, &QHeaderView::sectionResized, this, [this] {
    UpdateScrollBars();
    viewport()->update();
  });
  connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
          [this](int action) { OnScrollAction(action); });
  UpdateGeometries();
}

CPreviewListCtrl::~CPreviewListCtrl() {
  // The header reads the model until it goes.
  header_->setModel(nullptr);
}

bool CPreviewListCtrl::Open(FileIo& io, const std::string& path) {
  std::unique_ptr<PreviewTable> table = PreviewContent::OpenTable(io, path);
  const bool opened = table != nullptr;
  headerModel_->Reset([&] { content_.Show(std::move(table)); });
  for (int column = 0; column < content_.columnCount(); ++column) {
    header_->resizeSection(column, content_.Width(column));
  }
  Reset();
  return opened;
}

void CPreviewListCtrl::SetCodePage(const std::string& name) {
  content_.SetCodePage(name);
  headerModel_->TitlesChanged();
  viewport()->update();
}

void CPreviewListCtrl::SetBackgroundImage(const QImage& image) {
  background_ = QPixmap::fromImage(image);
  viewport()->update();
}

void CPreviewListCtrl::Reset() {
  top_ = 0;
  selected_.reset();
  readFailureTold_ = false;
  horizontalScrollBar()->setValue(0);
  UpdateGeometries();
  viewport()->update();
}

int CPreviewListCtrl::rowHeight() const { return fontMetrics().height() + 4; }

uint64_t CPreviewListCtrl::pageRows() const {
  return static_cast<uint64_t>(std::max(viewport()->height() / rowHeight(), 1));
}

void CPreviewListCtrl::SelectRow(uint64_t row) {
  if (content_.rowCount() == 0) return;
  row = std::min(row, content_.rowCount() - 1);
  selected_ = row;
  if (row < top_) {
    SetTop(row);
  } else if (row >= top_ + pageRows()) {
    SetTop(row - pageRows() + 1);
  }
  viewport()->update();
}

void CPreviewListCtrl::UpdateGeometries() {
  if (inLayout_) return;
  inLayout_ = true;
  const int headerHeight = std::max(header_->sizeHint().height(), fontMetrics().height() + 6);
  setViewportMargins(0, headerHeight, 0, 0);
  const QRect area = viewport()->geometry();
  header_->setGeometry(area.left(), area.top() - headerHeight, area.width(), headerHeight);
  inLayout_ = false;
  UpdateScrollBars();
}

void CPreviewListCtrl::UpdateScrollBars() {
  if (inLayout_) return;
  inLayout_ = true;
  const uint64_t rows = content_.rowCount();
  const uint64_t page = pageRows();
  scroll_ = RowScroll(rows > page ? rows - page : 0);
  top_ = std::min(top_, scroll_.maxTop());
  QScrollBar* bar = verticalScrollBar();
  bar->setRange(0, scroll_.maximum());
  bar->setSingleStep(1);
  bar->setPageStep(scroll_.PageStepFor(page));
  bar->setValue(scroll_.ValueFor(top_));
  QScrollBar* across = horizontalScrollBar();
  across->setRange(0, std::max(header_->length() - viewport()->width(), 0));
  across->setSingleStep(kHorizontalStep);
  across->setPageStep(std::max(viewport()->width(), 1));
  header_->setOffset(across->value());
  inLayout_ = false;
}

void CPreviewListCtrl::SetTop(uint64_t top) {
  top_ = std::min(top, scroll_.maxTop());
  // The bar follows; its change is recognised as this row in scrollContentsBy.
  verticalScrollBar()->setValue(scroll_.ValueFor(top_));
  viewport()->update();
}

void CPreviewListCtrl::ScrollRows(int64_t rows) {
  if (rows < 0) {
    const uint64_t up = static_cast<uint64_t>(-rows);
    SetTop(top_ > up ? top_ - up : 0);
  } else {
    SetTop(top_ + std::min(static_cast<uint64_t>(rows), scroll_.maxTop()));
  }
}

void CPreviewListCtrl::OnScrollAction(int action) {
  // The bar's arrows and page clicks move by rows even when one step of the
  // bar stands for many.
  const int64_t page = static_cast<int64_t>(std::min<uint64_t>(pageRows(), INT64_MAX));
  int64_t rows = 0;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: rows = 1; break;
    case QAbstractSlider::SliderSingleStepSub: rows = -1; break;
    case QAbstractSlider::SliderPageStepAdd: rows = page; break;
    case QAbstractSlider::SliderPageStepSub: rows = -page; break;
    default: return;
  }
  ScrollRows(rows);
  verticalScrollBar()->setSliderPosition(scroll_.ValueFor(top_));
}

void CPreviewListCtrl::scrollContentsBy(int, int) {
  if (inLayout_) return;
  const int value = verticalScrollBar()->value();
  if (value != scroll_.ValueFor(top_)) top_ = scroll_.TopFor(value);
  header_->setOffset(horizontalScrollBar()->value());
  viewport()->update();
}

void CPreviewListCtrl::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateGeometries();
}

void CPreviewListCtrl::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) UpdateGeometries();
}

bool CPreviewListCtrl::MoveSelection(int key) {
  const uint64_t rows = content_.rowCount();
  if (rows == 0) return true;
  const uint64_t page = pageRows();
  const uint64_t last = rows - 1;
  // Without a selection the keys start from the first row in view.
  const uint64_t from = selected_.value_or(top_);
  const bool had = selected_.has_value();
  uint64_t to = from;
  switch (key) {
    case Qt::Key_Up: to = had && from > 0 ? from - 1 : from; break;
    case Qt::Key_Down: to = had ? std::min(from + 1, last) : from; break;
    case Qt::Key_PageUp:
      // First to the top of the page, then a page further.
      to = from > top_ ? top_ : (from > page - 1 ? from - (page - 1) : 0);
      break;
    case Qt::Key_PageDown: {
      const uint64_t bottom = std::min(top_ + page - 1, last);
      to = from < bottom ? bottom : std::min(from + (page - 1), last);
      break;
    }
    case Qt::Key_Home: to = 0; break;
    case Qt::Key_End: to = last; break;
    default: return false;
  }
  SelectRow(to);
  return true;
}

void CPreviewListCtrl::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Left || key == Qt::Key_Right) {
    horizontalScrollBar()->triggerAction(key == Qt::Key_Left ? QAbstractSlider::SliderSingleStepSub
                                                             : QAbstractSlider::SliderSingleStepAdd);
    return;
  }
  if (!MoveSelection(key)) event->ignore();
}

void CPreviewListCtrl::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
    const int y = static_cast<int>(event->position().y());
    const int across = static_cast<int>(event->position().x()) + header_->offset();
    const uint64_t row = top_ + static_cast<uint64_t>(std::max(y, 0) / rowHeight());
    if (row < content_.rowCount() && across < header_->length()) selected_ = row;
  }
  // The whole grid is repainted, background included.
  viewport()->update();
}

void CPreviewListCtrl::wheelEvent(QWheelEvent* event) {
  wheelRemainder_ += event->angleDelta().y();
  const int notches = wheelRemainder_ / kWheelDelta;
  wheelRemainder_ -= notches * kWheelDelta;
  if (notches != 0) ScrollRows(-static_cast<int64_t>(notches) * QApplication::wheelScrollLines());
  event->accept();
}

QString CPreviewListCtrl::CellText(uint64_t row, int column) {
  try {
    return content_.Cell(row, column);
  } catch (const FileError& error) {
    if (!readFailureTold_) {
      readFailureTold_ = true;
      const QString message = QString::fromStdString(error.what());
      QMetaObject::invokeMethod(this, [this, message] { emit readFailed(message); }, Qt::QueuedConnection);
    }
    return {};
  }
}

void CPreviewListCtrl::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QRect area = viewport()->rect();
  if (background_.isNull()) {
    painter.fillRect(area, palette().color(QPalette::Base));
  } else {
    painter.drawTiledPixmap(area, background_);
  }
  const int first = header_->visualIndexAt(0);
  if (first >= 0) {
    int last = header_->visualIndexAt(area.width() - 1);
    if (last < 0) last = content_.columnCount() - 1;
    PaintRows(painter, first, last);
    PaintGridLines(painter, first, last);
  }
  emit painted();
}

void CPreviewListCtrl::PaintRows(QPainter& painter, int firstColumn, int lastColumn) {
  const int height = rowHeight();
  const uint64_t rows = content_.rowCount();
  const uint64_t inView = static_cast<uint64_t>(viewport()->height() / height + 1);
  const QFontMetrics metrics = fontMetrics();
  const QPalette::ColorGroup group = hasFocus() ? QPalette::Active : QPalette::Inactive;
  // Cells keep the blank the header keeps before a title, so text and title align.
  const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header_);
  for (uint64_t i = 0; i < inView && top_ + i < rows; ++i) {
    const uint64_t row = top_ + i;
    const int y = static_cast<int>(i) * height;
    const bool selected = selected_ == row;
    if (selected) {
      painter.fillRect(QRect(-header_->offset(), y, header_->length(), height),
                       palette().color(group, QPalette::Highlight));
    }
    painter.setPen(palette().color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    for (int column = firstColumn; column <= lastColumn; ++column) {
      const QRect text = QRect(header_->sectionViewportPosition(column), y, header_->sectionSize(column), height)
                             .adjusted(margin, 0, -margin, 0);
      if (text.width() <= 0) continue;
      painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       metrics.elidedText(CellText(row, column), Qt::ElideRight, text.width()));
    }
  }
}

void CPreviewListCtrl::PaintGridLines(QPainter& painter, int firstColumn, int lastColumn) {
  painter.setPen(kGridLineColor.toQColor());
  const QRect area = viewport()->rect();
  const int right = std::min(header_->length() - header_->offset(), area.width());
  for (int y = rowHeight() - 1; y < area.height(); y += rowHeight()) painter.drawLine(0, y, right - 1, y);
  for (int column = firstColumn; column <= lastColumn; ++column) {
    const int x = header_->sectionViewportPosition(column) + header_->sectionSize(column) - 1;
    painter.drawLine(x, 0, x, area.height() - 1);
  }
}

}  // namespace drelin
