#include "FileListCtrl.h"

#include <QDragEnterEvent>
#include <QFile>
#include <QFileIconProvider>
#include <QHeaderView>
#include <QMimeData>
#include <QMimeDatabase>
#include <QPixmap>
#include <QUrl>

#include <filesystem>
#include <unordered_set>

#include "ReportList.h"

namespace drelin {

namespace {

constexpr int kColumnWidths[CFileListCtrl::kColumnCount] = {130, 240, 100, 120, 120, 130, 200};
constexpr const char* kHeadings[CFileListCtrl::kColumnCount] = {
    "File Name", "File Location", "File Size", "Creation Time", "Last Access Time",
    "Last written Time", "File Type"};

QString Shown(const std::string& bytes) {
  return QFile::decodeName(QByteArray::fromStdString(bytes));
}

QString ListTime(std::time_t time) { return QString::fromStdString(platform::FormatListTime(time)); }

}  // namespace

std::string SingleSeparators(const std::string& path) {
  std::string single;
  single.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    single += path[i];
    // One pass from the left: each doubled pair becomes one separator.
    if (path[i] == '/' && i + 1 < path.size() && path[i + 1] == '/') ++i;
  }
  return single;
}

bool HasDbfExtension(const std::string& path) {
  const size_t dot = path.rfind('.');
  if (dot == std::string::npos || path.size() - dot != 4) return false;
  static const char kUpper[] = ".DBF";
  for (size_t i = 0; i < 4; ++i) {
    const char c = path[dot + i];
    if ((c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c) != kUpper[i]) return false;
  }
  return true;
}

std::string LocalPathBytes(const QUrl& url) {
  if (!url.isLocalFile()) return {};
  return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

CFileListCtrl::CFileListCtrl(QWidget* parent) : QTreeWidget(parent) {
  SetUpReportList(this, QStringLiteral("FileList"));
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDropIndicatorShown(false);
  for (const int id : kHeaderIcons) headerImages_.push_back(ProgramIcon(id, kHeaderIconSide));
  connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem*, int column) {
    if (column == kName) UpdateCheckAll();
  });
}

void CFileListCtrl::InsertColumns() {
  SetReportColumns(this, kHeadings, kColumnWidths, kColumnCount);
}

void CFileListCtrl::SetHeaderImages() {
  header()->setIconSize(QSize(kHeaderIconSide, kHeaderIconSide));
  for (int column = 0; column < kColumnCount; ++column) headerItem()->setIcon(column, headerImages_[column]);
}

void CFileListCtrl::SetCheckAllBox(QCheckBox* box) {
  checkAll_ = box;
  UpdateCheckAll();
}

void CFileListCtrl::SetBackgroundImage(const QString& path) {
  const QPixmap picture(path);
  if (picture.isNull()) return;
  QPalette colours = viewport()->palette();
  colours.setBrush(QPalette::Base, QBrush(picture));
  viewport()->setPalette(colours);
  viewport()->setAutoFillBackground(true);
}

int CFileListCtrl::AddFiles(const std::vector<std::string>& paths) {
  std::unordered_set<std::string> listed;
  for (int row = 0; row < RowCount(); ++row) listed.insert(FullPath(row));
  QList<QTreeWidgetItem*> rows;
  for (const std::string& chosen : paths) {
    std::string path = SingleSeparators(chosen);
    if (!path.empty() && path.front() != '/') {
      std::error_code error;
      path = std::filesystem::absolute(path, error).string();
    }
    if (!HasDbfExtension(path) || listed.count(path) != 0) continue;
    const std::optional<platform::FileFacts> facts = platform::ReadFileFacts(path);
    if (!facts) continue;
    listed.insert(path);
    rows.append(MakeRow(path, *facts));
  }
  if (!rows.isEmpty()) {
    bulk_ = true;
    insertTopLevelItems(0, rows);
    bulk_ = false;
  }
  UpdateCheckAll();
  return int(rows.size());
}

QTreeWidgetItem* CFileListCtrl::MakeRow(const std::string& path, const platform::FileFacts& facts) {
  const size_t slash = path.rfind('/');
  const std::string folder = path.substr(0, slash + 1), name = path.substr(slash + 1);
  const QString shownName = Shown(name);
  const TypeLook& look = LookOf(shownName);
  auto* row = new QTreeWidgetItem;
  row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  row->setData(kName, kPathRole, QByteArray::fromStdString(path));
  row->setText(kName, shownName);
  row->setIcon(kName, look.icon);
  row->setText(kLocation, Shown(folder));
  row->setText(kSize, QString::number(facts.size));
  row->setText(kCreated, ListTime(facts.created));
  row->setText(kAccessed, ListTime(facts.accessed));
  row->setText(kWritten, ListTime(facts.written));
  row->setText(kType, look.name);
  row->setCheckState(kName, Qt::Checked);
  return row;
}

const CFileListCtrl::TypeLook& CFileListCtrl::LookOf(const QString& fileName) {
  static const QMimeDatabase kTypes;
  const QMimeType type = kTypes.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
  const auto known = looks_.find(type.name());
  if (known != looks_.end()) return known->second;
  QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
  if (icon.isNull()) icon = QFileIconProvider().icon(QAbstractFileIconProvider::File);
  return looks_.emplace(type.name(), TypeLook{type.comment(), icon}).first->second;
}

bool CFileListCtrl::Contains(const std::string& path) const {
  for (int row = 0; row < RowCount(); ++row) {
    if (FullPath(row) == path) return true;
  }
  return false;
}

bool CFileListCtrl::IsChecked(int row) const {
  return topLevelItem(row)->checkState(kName) == Qt::Checked;
}

void CFileListCtrl::SetChecked(int row, bool checked) {
  topLevelItem(row)->setCheckState(kName, checked ? Qt::Checked : Qt::Unchecked);
}

std::string CFileListCtrl::FullPath(int row) const {
  return topLevelItem(row)->data(kName, kPathRole).toByteArray().toStdString();
}

QString CFileListCtrl::RowText(int row, int column) const { return topLevelItem(row)->text(column); }

bool CFileListCtrl::AllChecked() const {
  if (RowCount() == 0) return false;
  for (int row = 0; row < RowCount(); ++row) {
    if (!IsChecked(row)) return false;
  }
  return true;
}

void CFileListCtrl::UpdateCheckAll() {
  if (bulk_ || checkAll_ == nullptr) return;
  checkAll_->setChecked(AllChecked());
}

CFileListCtrl::RemoveResult CFileListCtrl::RemoveChecked() {
  if (RowCount() == 0) return RemoveResult::kEmpty;
  bool removed = false;
  for (int row = RowCount() - 1; row >= 0; --row) {
    if (!IsChecked(row)) continue;
    delete takeTopLevelItem(row);
    removed = true;
  }
  UpdateCheckAll();
  return removed ? RemoveResult::kRemoved : RemoveResult::kNoneChecked;
}

bool CFileListCtrl::RemoveAll() {
  if (RowCount() == 0) return false;
  clear();
  UpdateCheckAll();
  return true;
}

void CFileListCtrl::ToggleAll() {
  const bool checked = RowCount() > 0 && !AllChecked();
  bulk_ = true;
  for (int row = 0; row < RowCount(); ++row) SetChecked(row, checked);
  bulk_ = false;
  UpdateCheckAll();
}

void CFileListCtrl::DeleteHighlighted() {
  QTreeWidgetItem* highlighted = currentItem();
  if (highlighted == nullptr || !highlighted->isSelected()) return;
  delete highlighted;
  UpdateCheckAll();
}

void CFileListCtrl::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete) {
    DeleteHighlighted();
    event->accept();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

bool CFileListCtrl::DropAllowed(const QMimeData* data) const {
  if (data == nullptr || !data->hasUrls() || (dropGate_ && !dropGate_())) return false;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return true;
  }
  return false;
}

void CFileListCtrl::dragEnterEvent(QDragEnterEvent* event) {
  if (DropAllowed(event->mimeData())) event->acceptProposedAction();
  else event->ignore();
}

void CFileListCtrl::dragMoveEvent(QDragMoveEvent* event) {
  if (DropAllowed(event->mimeData())) event->acceptProposedAction();
  else event->ignore();
}

void CFileListCtrl::dropEvent(QDropEvent* event) {
  if (!DropAllowed(event->mimeData())) {
    event->ignore();
    return;
  }
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    std::string path = LocalPathBytes(url);
    if (!path.empty()) paths.push_back(std::move(path));
  }
  AddFiles(paths);
  event->acceptProposedAction();
}

}  // namespace drelin
