// CFileListCtrl: the file page's list of the tables to repair, one checked
// row per file with seven columns of file-system facts, and the check-all
// box above it. Files come in through the multi-select open dialog or by
// dropping them onto the list; only existing regular files whose name ends
// in ".dbf" (any letter case) that are not listed yet are added, at the top,
// in the order given. Adding reads the file's status and never opens it.
//
// Each row keeps the raw bytes of its full path in kPathRole: names that are
// not valid UTF-8 are shown as well as they decode, and repaired and saved
// under their own bytes. The shown texts are column 1 (the folder, ending
// with "/") and column 0 (the file name).
//
// The check-all box is checked exactly when the list has rows and every row
// is checked; it is brought up to date after every change of a row or of a
// check, whether by mouse, keyboard or command.
#pragma once

#include <QCheckBox>
#include <QTreeWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "FileFacts.h"

namespace drelin {

// The check-all box: a click does not change it by itself; the command it
// dispatches decides its state.
class CCheckAllBox : public QCheckBox {
  Q_OBJECT

 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
};

class CFileListCtrl : public QTreeWidget {
  Q_OBJECT

 public:
  enum Column { kName, kLocation, kSize, kCreated, kAccessed, kWritten, kType, kColumnCount };
  static constexpr int kPathRole = Qt::UserRole + 1;
  // The header pictures, in the order they are appended: image i belongs to
  // column i.
  static constexpr int kHeaderIcons[kColumnCount] = {201, 200, 202, 206, 204, 205, 203};
  static constexpr int kHeaderIconSide = 16;

  explicit CFileListCtrl(QWidget* parent = nullptr);

  void InsertColumns();
  void SetHeaderImages();
  // The box the list keeps in step with its checks.
  void SetCheckAllBox(QCheckBox* box);
  // Tiles the picture at `path` behind the rows; a missing file: no picture.
  void SetBackgroundImage(const QString& path);
  // Whether dropped files are taken now (the view: on the file page, with no
  // run going on).
  void SetDropGate(std::function<bool()> gate) { dropGate_ = std::move(gate); }

  // Adds the files at `paths` (raw bytes) under the rules above; returns how
  // many rows were added.
  int AddFiles(const std::vector<std::string>& paths);
  // Whether a row's full path equals `path` byte for byte.
  bool Contains(const std::string& path) const;

  int RowCount() const { return topLevelItemCount(); }
  bool IsChecked(int row) const;
  void SetChecked(int row, bool checked);
  std::string FullPath(int row) const;
  QString RowText(int row, int column) const;
  // The check-all box's state by the rule above.
  bool AllChecked() const;

  enum class RemoveResult { kEmpty, kNoneChecked, kRemoved };
  // Deletes the checked rows; the others keep their order.
  RemoveResult RemoveChecked();
  // Deletes every row; false when there was none.
  bool RemoveAll();
  // The check-all box's command: every row takes the opposite of the box's
  // state (unchecked for an empty list).
  void ToggleAll();
  // Deletes the highlighted row, if there is one.
  void DeleteHighlighted();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QTreeWidgetItem* MakeRow(const std::string& path, const platform::FileFacts& facts);
  // The type name and the icon of a file name, by its extension.
  struct TypeLook {
    QString name;
    QIcon icon;
  };
  const TypeLook& LookOf(const QString& fileName);
  void UpdateCheckAll();
  bool DropAllowed(const QMimeData* data) const;

  QCheckBox* checkAll_ = nullptr;
  std::vector<QIcon> headerImages_;
  std::map<QString, TypeLook> looks_;
  std::function<bool()> dropGate_;
  bool bulk_ = false;  // many checks change at once: one update at the end
};

// The adding rules on a raw path: doubled separators made single, and
// whether the name ends in ".dbf" in any letter case.
std::string SingleSeparators(const std::string& path);
bool HasDbfExtension(const std::string& path);
// The raw path bytes of a local file URL (percent-encoded bytes kept as
// bytes); empty for anything else.
std::string LocalPathBytes(const QUrl& url);

}  // namespace drelin
