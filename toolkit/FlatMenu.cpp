#include "FlatMenu.h"

#include <QActionEvent>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QToolBar>

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "FlatMenuPainter.h"
#include "FlatMenuStyle.h"

namespace drelin {
namespace {

constexpr char kItemDataProperty[] = "FlatMenuItemData";
constexpr char kTextDataProperty[] = "FlatMenuTextData";
constexpr char kSeparatorDataProperty[] = "FlatMenuSeparatorData";
constexpr char kAttachedProperty[] = "FlatMenuAttached";

struct CommandImageEntry {
  std::shared_ptr<const MenuImageList> list;
  int index = 0;
  QImage toolbarImage;
};

struct State {
  std::optional<FlatMenuSettings> settings;
  std::map<int, CommandImageEntry> images;
  int depthOverride = 0;
  std::vector<QPointer<QMenuBar>> bars;
  QPointer<FlatMenu> instance;
  QPointer<FlatMenuStyle> style;
};

State& GetState() {
  static State state;
  return state;
}

// The item text and the shortcut text as the menu shows them.
std::pair<QString, QString> ItemTexts(const QAction* action) {
  const QString text = action->text();
  const qsizetype tab = text.indexOf(QLatin1Char('\t'));
  if (tab >= 0) return {text.left(tab), text.mid(tab + 1)};
  return {text, action->shortcut().toString(QKeySequence::NativeText)};
}

// Whether `text` (upper case) has a mnemonic mark before `letter`; "&&"
// is a literal ampersand, not a mark.
bool HasMnemonic(const QString& text, QChar letter) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != QLatin1Char('&')) continue;
    if (text[i + 1] == letter && letter != QLatin1Char('&')) return true;
    ++i;  // skip what the mark applies to, a second "&" included
  }
  return false;
}

// Commands that also sit on a toolbar of a flat frame show that image.
void TakeToolbarImages(const QMenu* menu) {
  for (const QPointer<QMenuBar>& bar : GetState().bars) {
    if (bar.isNull() || !bar->window()->property(FlatMenu::kFrameProperty).toBool()) continue;
    for (const QToolBar* toolbar : bar->window()->findChildren<QToolBar*>()) {
      for (const QAction* tool : toolbar->actions()) {
        const int command = FlatMenu::CommandId(tool);
        if (command == 0 || tool->icon().isNull()) continue;
        for (const QAction* item : menu->actions()) {
          if (FlatMenu::CommandId(item) != command) continue;
          const QSize size(flat_menu::kImageSize * 4, flat_menu::kImageSize * 4);
          GetState().images[command].toolbarImage = tool->icon().pixmap(size).toImage();
        }
      }
    }
  }
}

}  // namespace

FlatMenu::FlatMenu() = default;

FlatMenu& FlatMenu::Instance() {
  State& state = GetState();
  if (state.instance.isNull()) {
    state.instance = new FlatMenu();
    state.instance->setParent(QCoreApplication::instance());
  }
  return *state.instance;
}

QStyle* FlatMenu::Style() {
  State& state = GetState();
  if (state.style.isNull()) {
    state.style = new FlatMenuStyle();
    state.style->setParent(&Instance());
  }
  return state.style;
}

QObject* FlatMenu::KeyFilter() { return &Instance(); }

void FlatMenu::Attach(QMenuBar* bar) {
  bar->window()->setProperty(kFrameProperty, 1);
  auto& bars = GetState().bars;
  bars.erase(
      std::remove_if(bars.begin(), bars.end(), [bar](const QPointer<QMenuBar>& b) { return b.isNull() || b == bar; }),
      bars.end());
  bars.emplace_back(bar);
  bar->setStyle(Style());
  bar->installEventFilter(&Instance());
  for (QAction* action : bar->actions())
    if (QMenu* menu = action->menu()) Instance().AttachPopup(menu);
  PrepareBar(bar);
}

void FlatMenu::AttachPopup(QMenu* menu) {
  if (menu->property(kAttachedProperty).toBool()) return;
  menu->setProperty(kAttachedProperty, true);
  menu->setStyle(Style());
  menu->installEventFilter(this);
  connect(menu, &QMenu::aboutToShow, menu, [menu] { PreparePopup(menu); });
  for (QAction* action : menu->actions())
    if (QMenu* submenu = action->menu()) AttachPopup(submenu);
}

void FlatMenu::PrepareBar(QMenuBar* bar) {
  const QFontMetrics metrics(bar->font());
  for (QAction* action : bar->actions()) {
    if (action->isSeparator()) continue;
    const int width = metrics.horizontalAdvance(StripMnemonics(action->text()));
    action->setProperty(kItemDataProperty, FlatMenuItemData{0, 0, width}.Pack());
  }
}

void FlatMenu::PreparePopup(QMenu* menu) {
  const QFontMetrics metrics(menu->font());
  int textWidth = 0;
  int shortcutWidth = 0;
  for (const QAction* action : menu->actions()) {
    if (action->isSeparator()) continue;
    const auto [text, shortcut] = ItemTexts(action);
    textWidth = std::max(textWidth, metrics.horizontalAdvance(StripMnemonics(text)));
    shortcutWidth = std::max(shortcutWidth, metrics.horizontalAdvance(shortcut));
  }
  TakeToolbarImages(menu);
  const std::uint32_t textData =
      FlatMenuItemData{FlatMenuTextItemHeight(metrics.height()), shortcutWidth, textWidth}.Pack();
  const std::uint32_t separatorData = FlatMenuItemData{FlatMenuSeparatorHeight(metrics.height()), 0, 0}.Pack();
  for (QAction* action : menu->actions())
    action->setProperty(kItemDataProperty, action->isSeparator() ? separatorData : textData);
  menu->setProperty(kTextDataProperty, textData);
  menu->setProperty(kSeparatorDataProperty, separatorData);
}

void FlatMenu::SetCommandImage(int command, std::shared_ptr<const MenuImageList> list, int index) {
  GetState().images[command] = CommandImageEntry{std::move(list), index, QImage()};
}

QImage FlatMenu::CommandImage(int command) {
  const auto& images = GetState().images;
  const auto it = images.find(command);
  if (command == 0 || it == images.end()) return {};
  if (!it->second.toolbarImage.isNull()) return it->second.toolbarImage;
  return it->second.list ? it->second.list->image(it->second.index) : QImage();
}

int FlatMenu::CommandId(const QAction* action) { return action->property(kCommandIdProperty).toInt(); }

void FlatMenu::SetCommandId(QAction* action, int command) { action->setProperty(kCommandIdProperty, command); }

bool FlatMenu::IsOwnerDrawn(const QAction* action) { return action->property(kItemDataProperty).isValid(); }

std::uint32_t FlatMenu::ItemData(const QAction* action) { return action->property(kItemDataProperty).toUInt(); }

std::uint32_t FlatMenu::TextItemData(const QMenu* menu) { return menu->property(kTextDataProperty).toUInt(); }

std::uint32_t FlatMenu::SeparatorData(const QMenu* menu) { return menu->property(kSeparatorDataProperty).toUInt(); }

int FlatMenu::MenuChar(const QMenu* menu, QChar typed) {
  const QChar letter = typed.toUpper();
  const QList<QAction*> actions = menu->actions();
  for (qsizetype index = 0; index < actions.size(); ++index)
    if (HasMnemonic(actions[index]->text().toUpper(), letter)) return static_cast<int>(index) + kExecute;
  return 0;
}

const FlatMenuSettings& FlatMenu::Settings() {
  State& state = GetState();
  if (!state.settings) state.settings = FlatMenuSettings::Load();
  return *state.settings;
}

void FlatMenu::ReloadSettings() { GetState().settings = FlatMenuSettings::Load(); }

void FlatMenu::SetDepthOverride(int bitsPerPixel) { GetState().depthOverride = bitsPerPixel; }

int FlatMenu::PaintDepth(const QPaintDevice* device) {
  if (GetState().depthOverride > 0) return GetState().depthOverride;
  return device != nullptr ? device->depth() : 32;
}

QMenuBar* FlatMenu::OpenBarOf(const QMenu* menu) {
  for (const QPointer<QMenuBar>& bar : GetState().bars) {
    if (bar.isNull() || bar->activeAction() == nullptr) continue;
    if (bar->activeAction()->menu() == menu) return bar;
  }
  return nullptr;
}

bool FlatMenu::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionChanged: {
      QAction* action = static_cast<QActionEvent*>(event)->action();
      if (QMenu* submenu = action->menu()) AttachPopup(submenu);
      if (auto* bar = qobject_cast<QMenuBar*>(watched)) PrepareBar(bar);
      auto* menu = qobject_cast<QMenu*>(watched);
      if (menu != nullptr && menu->isVisible() && TextItemData(menu) != 0) PreparePopup(menu);
      break;
    }
    case QEvent::KeyPress:
      if (auto* menu = qobject_cast<QMenu*>(watched)) return HandleKey(menu, static_cast<QKeyEvent*>(event));
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

// The mnemonic lookup of a prepared popup: the first item with the typed
// mnemonic is executed, however many share it; an unknown letter beeps.
// Popups whose first item is not prepared keep Qt's handling.
bool FlatMenu::HandleKey(QMenu* menu, const QKeyEvent* key) {
  const QList<QAction*> actions = menu->actions();
  if (actions.isEmpty() || !IsOwnerDrawn(actions.first())) return false;
  const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
  if (modifiers != Qt::NoModifier && modifiers != Qt::ShiftModifier && modifiers != Qt::AltModifier) return false;
  const QString text = key->text();
  if (text.size() != 1 || !text[0].isPrint() || text[0].isSpace()) return false;
  const int answer = MenuChar(menu, text[0]);
  if (answer == 0) {
    QApplication::beep();
    return true;
  }
  QAction* action = actions.at(answer - kExecute);
  menu->setActiveAction(action);
  if (action->isEnabled() && action->isVisible()) {
    QKeyEvent execute(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(menu, &execute);
  }
  return true;
}

}  // namespace drelin
