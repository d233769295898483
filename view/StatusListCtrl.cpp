#include "StatusListCtrl.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

#include "BatchTexts.h"
#include "CommandRouter.h"
#include "FileListCtrl.h"
#include "FlatMenu.h"
#include "ReportList.h"
#include "ResourceIds.h"
#include "ViewTexts.h"

namespace drelin {

namespace {

constexpr int kColumnWidths[CStatusListCtrl::kColumnCount] = {500, 100, 140, 200};
constexpr const char* kHeadings[CStatusListCtrl::kColumnCount] = {"File Name", "Status",
                                                                  "Repair Mode", "     "};

bool StartsWith(const std::string& text, const char* word) { return text.rfind(word, 0) == 0; }

// A row of the queue: its icon and colours come from its status word each
// time the list asks.
class StatusRow : public QTreeWidgetItem {
 public:
  QVariant data(int column, int role) const override {
    if (role != Qt::DecorationRole && role != Qt::ForegroundRole && role != Qt::BackgroundRole) {
      return QTreeWidgetItem::data(column, role);
    }
    const std::string status = text(CStatusListCtrl::kStatus).toStdString();
    if (role == Qt::DecorationRole) {
      if (column != CStatusListCtrl::kPath) return {};
      const auto* list = static_cast<const CStatusListCtrl*>(treeWidget());
      const int image = StatusImageIndex(status);
      if (list == nullptr || image < 0 || image >= int(list->imageList().size())) return {};
      return list->imageList()[size_t(image)];
    }
    const StatusCellColors colors = CellColorsFor(column, status);
    if (role == Qt::BackgroundRole) return QBrush(colors.background);
    return colors.text ? QVariant(QBrush(*colors.text)) : QVariant();
  }
};

}  // namespace

StatusCellColors CellColorsFor(int column, const std::string& status) {
  static const QColor kBackgrounds[CStatusListCtrl::kColumnCount] = {
      QColor(245, 243, 178), QColor(248, 233, 243), QColor(220, 242, 226), QColor(248, 233, 243)};
  StatusCellColors colors;
  colors.background = column >= 0 && column < CStatusListCtrl::kColumnCount ? kBackgrounds[column]
                                                                           : QColor(Qt::white);
  if (StartsWith(status, batch::kStatusPending)) {
    colors.text = QColor(0, 0, 0);
  } else if (StartsWith(status, batch::kStatusDone)) {
    colors.text = QColor(0, 0, 255);
  } else if (StartsWith(status, "Fail")) {
    colors.text = QColor(255, 0, 0);
  } else if (StartsWith(status, batch::kStatusProgress)) {
    colors.text = QColor(0, 255, 0);
    colors.background = QColor(0, 0, 0);
  }
  return colors;
}

int StatusImageIndex(const std::string& status) {
  const char* const words[] = {batch::kStatusPending, batch::kStatusProgress, batch::kStatusDone,
                               batch::kStatusFailed};
  for (int index = 0; index < 4; ++index) {
    if (status == words[index]) return index;
  }
  return -1;
}

CStatusListCtrl::CStatusListCtrl(QWidget* parent) : QTreeWidget(parent) {
  SetUpReportList(this, QStringLiteral("StatusList"));
  setIconSize(QSize(kIconSide, kIconSide));
  connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
    if (item != nullptr && indexOfTopLevelItem(item) >= 0) RunPreview();
  });
}

void CStatusListCtrl::InsertColumns() {
  SetReportColumns(this, kHeadings, kColumnWidths, kColumnCount);
}

void CStatusListCtrl::SetImageList(std::vector<QIcon> icons) {
  icons_ = std::move(icons);
  viewport()->update();
}

void CStatusListCtrl::FillQueue(const CFileListCtrl& files, bool normalMode) {
  const QString mode = QString::fromLatin1(normalMode ? batch::kNormalModeText : batch::kAdvanceModeText);
  QList<QTreeWidgetItem*> rows;
  for (int row = 0; row < files.RowCount(); ++row) {
    if (!files.IsChecked(row)) continue;
    const QByteArray path = QByteArray::fromStdString(files.FullPath(row));
    auto* queued = new StatusRow;
    queued->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    queued->setData(kPath, kPathRole, path);
    queued->setText(kPath, files.RowText(row, CFileListCtrl::kLocation) +
                               files.RowText(row, CFileListCtrl::kName));
    queued->setText(kStatus, QString::fromLatin1(batch::kStatusPending));
    queued->setText(kMode, mode);
    rows.append(queued);
  }
  addTopLevelItems(rows);
}

std::string CStatusListCtrl::RowText(int row, int column) const {
  const QTreeWidgetItem* item = topLevelItem(row);
  if (item == nullptr) return {};
  if (column == kPath) return item->data(kPath, kPathRole).toByteArray().toStdString();
  return item->text(column).toStdString();
}

void CStatusListCtrl::SetRowStatus(int row, const std::string& word) {
  QTreeWidgetItem* item = topLevelItem(row);
  if (item == nullptr) return;
  item->setText(kStatus, QString::fromStdString(word));
  viewport()->update();
}

int CStatusListCtrl::HighlightedRow() const {
  const QList<QTreeWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.front());
}

std::unique_ptr<QMenu> CStatusListCtrl::MakeContextMenu() {
  if (!HasHighlightedRow()) return nullptr;
  auto menu = std::make_unique<QMenu>(this);
  QAction* preview = menu->addAction(QString::fromLatin1(view_texts::kPreviewItem));
  if (router_ != nullptr) router_->Bind(preview, res::kIdPreview);
  else FlatMenu::SetCommandId(preview, res::kIdPreview);
  return menu;
}

void CStatusListCtrl::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  std::unique_ptr<QMenu> menu = MakeContextMenu();
  if (menu) menu->exec(event->globalPos());
}

void CStatusListCtrl::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && HasHighlightedRow()) {
    event->accept();
    RunPreview();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

void CStatusListCtrl::RunPreview() {
  if (router_ != nullptr) router_->Dispatch(res::kIdPreview);
}

}  // namespace drelin
