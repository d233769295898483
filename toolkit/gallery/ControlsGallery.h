// Sheets of the skinned controls and the flat menus for the gallery.
#pragma once

#include <QDir>

// Writes the sheets into `folder` at 1x and 2x; answers how many it wrote.
int RenderControlSheets(const QDir& folder);
