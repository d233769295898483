// CFilePreviewDlg: the File Preview window (dialog 138). It shows one
// repaired working file as a grid of the preview reader's columns and rows,
// titled with the source's path, so the user can check a repair before
// saving it. It opens maximised on the background colour, with the preview
// badge (bitmap 261) in the top-left corner, the grid in the middle, a code
// page chooser that starts at the source table's code page and redecodes
// names and cells, and OK and Cancel, which both close it. Nothing here
// writes a file.
#pragma once

#include <QDialog>
#include <QImage>
#include <QRect>
#include <QSize>

#include <string>

#include "ColorRef.h"
#include "MessageCall.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace drelin {

class CPreviewListCtrl;

// Where the window's controls stand in a client area of `client`, for
// buttons of `button` size: the grid at (30, 60), W - 60 by H - 120; Cancel
// 30 from the right, OK 10 left of it, both half their height above 30 from
// the bottom; the code page chooser on the buttons' row at the left.
struct PreviewLayout {
  QRect grid;
  QRect ok;
  QRect cancel;
  QRect chooserLabel;
  QRect chooser;
};
PreviewLayout PreviewLayoutFor(QSize client, QSize button, int labelWidth);

class CFilePreviewDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr ColorRef kBackgroundColor = ColorRef::FromRgb(255, 186, 16);
  // The template's buttons, 50 by 14 dialog units.
  static constexpr QSize kButtonSize{75, 23};
  static constexpr int kChooserWidth = 150;
  // The picture behind the grid, looked up in the start folder.
  static constexpr const char* kBackgroundFile = "bkgListPreview.bmp";

  // A window for the source at `sourcePath` (raw bytes); file errors met
  // while the grid is painted are told through `messages`.
  CFilePreviewDlg(QWidget* parent, batch::MessageCall& messages, const std::string& sourcePath,
                  const QString& startFolder);
  ~CFilePreviewDlg() override;

  // Fills the grid from the working file `repairedPath`: false, and the
  // empty grid, when there is no file; a FileError when it cannot be read.
  bool LoadTable(const std::string& repairedPath);

  // The title that shows `sourcePath` as written: Qt takes "[*]" in a
  // title for the modified marker, and "[*][*]" for a plain "[*]".
  static QString TitleFor(const std::string& sourcePath);
  // The code pages the chooser offers, Windows-1252 first; each is a name
  // the command line's --encoding takes. The source's own page, when it is
  // none of them, is added to the window's chooser.
  static const QStringList& CodePageNames();
  // The code page the chooser starts at: the source table's own (its .cpg,
  // else its language-driver byte; the repaired working file has none),
  // Windows-1252 when the source tells none or is gone.
  static std::string SourceCodePage(const std::string& sourcePath);

  CPreviewListCtrl& grid() const { return *grid_; }
  QComboBox& codePageChooser() const { return *chooser_; }
  QPushButton& okButton() const { return *ok_; }
  QPushButton& cancelButton() const { return *cancel_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ChooseCodePage(const QString& name);
  void SelectCodePage(const std::string& name);
  void TellReadFailure(const QString& message);

  batch::MessageCall& messages_;
  CPreviewListCtrl* grid_;
  QLabel* chooserLabel_;
  QComboBox* chooser_;
  QPushButton* ok_;
  QPushButton* cancel_;
  QImage badge_;
};

}  // namespace drelin
