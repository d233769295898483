// CStatusListCtrl: the repair page's queue of the run, one row per file that
// was checked in the file list: column 0 the source's full path, 1 its status
// word, 2 the run's mode text, 3 (headed by five blanks) empty. Each row is
// painted in the colours of its status and shows the icon of its status;
// both are worked out from the status word whenever the row is painted, so a
// status written by the repair worker shows at the next paint. A double-click,
// Enter or the context menu's one item "Preview" open the preview of the
// highlighted row through the command router.
//
// Column 0 keeps the raw bytes of the path in kPathRole; the text shows them
// as well as they decode.
#pragma once

#include <QColor>
#include <QTreeWidget>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMenu;

namespace drelin {

class CFileListCtrl;
class CommandRouter;

// The colours of one cell: the background by column, the text by the row's
// status (none: the list's own), and black behind a row in progress.
struct StatusCellColors {
  QColor background;
  std::optional<QColor> text;
};
StatusCellColors CellColorsFor(int column, const std::string& status);
// The image index of a status word: 0 "Pending", 1 "Progress", 2 "Done",
// 3 "Failed"; -1 for any other text.
int StatusImageIndex(const std::string& status);

class CStatusListCtrl : public QTreeWidget {
  Q_OBJECT

 public:
  enum Column { kPath, kStatus, kMode, kBlank, kColumnCount };
  static constexpr int kPathRole = Qt::UserRole + 1;
  static constexpr int kIconSide = 20;

  explicit CStatusListCtrl(QWidget* parent = nullptr);

  void InsertColumns();
  // The pictures by image index (the view's status image list).
  void SetImageList(std::vector<QIcon> icons);
  const std::vector<QIcon>& imageList() const { return icons_; }
  // Where the preview command goes.
  void SetRouter(CommandRouter* router) { router_ = router; }

  // Appends the checked rows of `files`, in order: full path, "Pending",
  // the mode text. The file list is not changed.
  void FillQueue(const CFileListCtrl& files, bool normalMode);

  int RowCount() const { return topLevelItemCount(); }
  // Column 0 as the path's raw bytes; the other columns as UTF-8.
  std::string RowText(int row, int column) const;
  // Writes column 1 and has the list repainted.
  void SetRowStatus(int row, const std::string& word);
  // The highlighted row; -1 when there is none.
  int HighlightedRow() const;
  bool HasHighlightedRow() const { return HighlightedRow() >= 0; }

  // The context menu for the highlighted row; null when there is none.
  std::unique_ptr<QMenu> MakeContextMenu();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void RunPreview();

  std::vector<QIcon> icons_;
  CommandRouter* router_ = nullptr;
};

}  // namespace drelin
