// CLogEdit: the progress log of a repair run, a read-only box of plain-text
// lines with a border and a vertical scroll bar (and a horizontal one when a
// line is wider than the box), that offers no context menu: a context-menu
// request is swallowed and goes nowhere else either.
//
// A run's log grows by a few lines per table and may reach hundreds of
// thousands of lines, so the box keeps its lines in a list and paints only
// the ones in view: appending costs the length of the new text, whatever the
// length of the log. Text grows only at its end; the end can be cut back to
// an earlier mark (a line shown for a while and then taken away). Line feeds
// break lines; carriage returns are not shown. The vertical scroll bar
// counts lines. Ctrl+C copies the whole log.
#pragma once

#include <QAbstractScrollArea>
#include <QString>

#include <vector>

namespace drelin {

class CLogEdit : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // A place in the text: the number of lines and the length of the last.
  struct Mark {
    size_t lines = 1;
    qsizetype lastLength = 0;
  };

  explicit CLogEdit(QWidget* parent = nullptr);

  bool isReadOnly() const { return true; }

  // Empties the box and shows it from its first line.
  void Clear();
  void AppendText(const QString& text);
  Mark mark() const { return {lines_.size(), lines_.back().size()}; }
  // Takes away everything after `mark`.
  void TruncateTo(const Mark& mark);

  // The lines: one more than the line feeds.
  int lineCount() const { return int(lines_.size()); }
  const QString& line(int index) const { return lines_[size_t(index)]; }
  // The whole text, lines joined by line feeds.
  QString toPlainText() const;
  // The first line in view.
  int firstVisibleLine() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  int lineHeight() const;
  int visibleLines() const;
  void Widen(const QString& line);
  void UpdateScrollBars();

  std::vector<QString> lines_{QString()};
  int widest_ = 0;  // pixels; only grows until the box is cleared
};

}  // namespace drelin
