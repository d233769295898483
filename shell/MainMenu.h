// MainMenu: the main frame's menu bar ("&File", "Tools", "&Help", no
// separators, Help last) and the images its items show. Every item carries
// its command id to the command router and its prompt (string table) as
// status tip; the images come from an image list of eleven icons, each
// command pointing at its index.
#pragma once

#include <memory>

#include "MenuImageList.h"

class QMenuBar;

namespace drelin {

class CommandRouter;

// Fills `bar` with the menus and binds each item to `router`.
void BuildMainMenu(QMenuBar& bar, CommandRouter& router);

// The image list, in index order, from the program's icons.
std::shared_ptr<MenuImageList> MakeMenuImageList();

// Gives each menu command its image of `list` in the flat menu style.
void SetMenuCommandImages(const std::shared_ptr<const MenuImageList>& list);

}  // namespace drelin
