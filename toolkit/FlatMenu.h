// FlatMenu: the flat menu look of the main frame's menu bar and of every
// popup that opens from it. Attaching a bar gives the bar and its popups
// the flat style, prepares the bar's items, and prepares each popup just
// before it shows: every item gets its 32-bit item data (height, shortcut
// width, text width) from the menu font, and the style measures and draws
// the items from it. Commands show the image registered for them with
// SetCommandImage, or the icon they carry on one of the frame's toolbars.
// In a prepared popup a typed letter executes the first item whose
// mnemonic it is, even when several items share it.
//
// An action's command id is its "commandId" property. The state is
// process-wide and belongs to the user-interface thread.
#pragma once

#include <QChar>
#include <QImage>
#include <QObject>

#include <cstdint>
#include <memory>

#include "FlatMenuSettings.h"
#include "MenuImageList.h"

class QAction;
class QKeyEvent;
class QMenu;
class QMenuBar;
class QPaintDevice;
class QStyle;

namespace drelin {

class FlatMenu : public QObject {
  Q_OBJECT

 public:
  static constexpr const char* kFrameProperty = "FlatMenuProp_Frame";
  static constexpr const char* kCommandIdProperty = "commandId";
  // The answer of the mnemonic lookup: the item index plus this.
  static constexpr int kExecute = 0x20000;

  // Marks the bar's window with "FlatMenuProp_Frame", gives the bar and all
  // its popups (also ones added later) the flat style and prepares the bar.
  static void Attach(QMenuBar* bar);
  static void PrepareBar(QMenuBar* bar);
  static void PreparePopup(QMenu* menu);

  static void SetCommandImage(int command, std::shared_ptr<const MenuImageList> list, int index);
  // The image shown for `command`; null when it has none.
  static QImage CommandImage(int command);
  static int CommandId(const QAction* action);
  static void SetCommandId(QAction* action, int command);

  // Whether the item was prepared (owner-drawn), and its item data.
  static bool IsOwnerDrawn(const QAction* action);
  static std::uint32_t ItemData(const QAction* action);
  // The data of a prepared popup's text items and separators (0 when the
  // popup was not prepared).
  static std::uint32_t TextItemData(const QMenu* menu);
  static std::uint32_t SeparatorData(const QMenu* menu);

  // The item that answers `typed`: its index plus kExecute, or 0.
  static int MenuChar(const QMenu* menu, QChar typed);

  // The settings, read from the store on first use; Reload reads again.
  static const FlatMenuSettings& Settings();
  static void ReloadSettings();

  // Bits per pixel of what is painted: the device's own depth, or the
  // depth set here (0 switches back to the device's).
  static void SetDepthOverride(int bitsPerPixel);
  static int PaintDepth(const QPaintDevice* device);

  // The attached bar whose open item `menu` hangs from, if any.
  static QMenuBar* OpenBarOf(const QMenu* menu);
  static QStyle* Style();
  // The object that handles the keys of flat popups.
  static QObject* KeyFilter();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  FlatMenu();
  static FlatMenu& Instance();
  void AttachPopup(QMenu* menu);
  bool HandleKey(QMenu* menu, const QKeyEvent* key);
};

}  // namespace drelin
