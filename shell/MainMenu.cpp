#include "MainMenu.h"

#include <QMenu>
#include <QMenuBar>

#include <vector>

#include "CommandRouter.h"
#include "FlatMenu.h"
#include "MarkupImages.h"
#include "ResourceIds.h"
#include "StringTable.h"

namespace drelin {
namespace {

using namespace res;

// The menus in bar order, and each item with the menu it belongs to.
const char* const kMenuTitles[] = {"&File", "Tools", "&Help"};
struct MenuItem {
  int menu;
  const char* text;
  int command;
};
const MenuItem kMenuItems[] = {
    {0, "Add Files...", kCmdAddFiles},
    {0, "Remove All Files", kCmdRemoveAll},
    {0, "Remove Selected Files", kCmdRemoveSelected},
    {0, "E&xit", kCmdExit},
    {1, "Setting", kCmdSettings},
    {1, "Liveupdate", kCmdLiveUpdate},
    {2, "Help", kCmdHelp},
    {2, "&About Tarnova Drelin DBF...", kCmdAbout},
    {2, "Software Home Page...", kCmdHomePage},
};

// The image list's icons in index order, and the index of each command.
constexpr int kListIcons[] = {kIconAddFiles, kIconAddFiles, kIconAbout,   kIconExit,
                              kIconHelp,     kIconWeb,      kIconNext,    kIconSettings,
                              kIconRemoveAll, kIconRemoveSelected, kIconRemoveSelected};
struct CommandImage {
  int command;
  int index;
};
constexpr CommandImage kCommandImages[] = {
    {kCmdAddFiles, 1},  {kCmdAbout, 2},    {kCmdExit, 3},         {kCmdHelp, 4},
    {kCmdLiveUpdate, 5}, {kIdNext, 6},     {kCmdSettings, 7},     {kCmdRemoveAll, 8},
    {kCmdRemoveSelected, 9}, {kCmdHomePage, 5},
};

}  // namespace

void BuildMainMenu(QMenuBar& bar, CommandRouter& router) {
  std::vector<QMenu*> popups;
  for (const char* title : kMenuTitles) popups.push_back(bar.addMenu(QString::fromLatin1(title)));
  for (const MenuItem& item : kMenuItems) {
    QAction* action = popups[static_cast<size_t>(item.menu)]->addAction(QString::fromLatin1(item.text));
    action->setStatusTip(LoadString(nullptr, static_cast<std::uint32_t>(item.command)));
    router.Bind(action, item.command);
  }
}

std::shared_ptr<MenuImageList> MakeMenuImageList() {
  auto list = std::make_shared<MenuImageList>();
  for (const int icon : kListIcons) list->Add(LoadProgramImage(icon));
  return list;
}

void SetMenuCommandImages(const std::shared_ptr<const MenuImageList>& list) {
  for (const CommandImage& entry : kCommandImages) FlatMenu::SetCommandImage(entry.command, list, entry.index);
}

}  // namespace drelin
