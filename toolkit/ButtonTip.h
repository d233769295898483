// ButtonTip: the tooltip of a skinned or logo button. It covers the whole
// button as one tool, starts inactive, shows its text only while active,
// and breaks lines at word boundaries to a maximum text width when the
// button asks for one.
#pragma once

#include <QFontMetrics>
#include <QString>

class QHelpEvent;
class QWidget;

namespace drelin {

// `text` with line breaks added between words so that no line is wider
// than `maxWidth` pixels (a single longer word keeps its own line).
// Existing line breaks are kept; 0 or less means no maximum.
QString WrapTipText(const QString& text, const QFontMetrics& metrics, int maxWidth);

class ButtonTip {
 public:
  explicit ButtonTip(int maxWidth) : maxWidth_(maxWidth) {}

  // Sets the tool text and (de)activates the tip; a null text is ignored
  // and answers false.
  bool SetText(const QString& text, bool activate);

  const QString& text() const { return text_; }
  bool active() const { return active_; }
  int maxWidth() const { return maxWidth_; }

  // The text as the tip shows it, wrapped for the tooltip font.
  QString ShownText() const;

  // Answers a tooltip request for `owner`: shows the tip when active and
  // non-empty, hides any tip otherwise. Always handles the request.
  void Show(QWidget* owner, const QHelpEvent* request) const;

 private:
  int maxWidth_;
  QString text_;
  bool active_ = false;
};

}  // namespace drelin
