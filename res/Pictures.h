// Pictures: the size of every numbered picture in logical pixels, and which
// bitmaps make up each of the view's skinned buttons. Each picture is
// compiled in as ":/res/<number>.png" with a twice-size copy
// ":/res/<number>@2x.png" for high-density screens.
#pragma once

#include "ResourceIds.h"

namespace drelin::res {

struct PictureSize {
  int number;
  int width;
  int height;
};

// Icons are drawn at this size and scaled wherever they are used.
constexpr int kIconSide = 48;

constexpr int kIcons[] = {kIconApp,       kIconNext,          kIconAbout,    kIconAddFiles,
                          kIconHelp,      kIconWeb,           kIconExit,     kIconSettings,
                          kIconRemoveAll, kIconRemoveSelected, kIconDone,    kIconProgress,
                          kIconPending,   kIconLocation,      kIconName,     kIconSize,
                          kIconType,      kIconAccessed,      kIconWritten,  kIconCreated};

// The view's bitmap buttons. Both images key out exact black, RGB(0,0,0).
struct ButtonPictures {
  int command;
  int normal;
  int hover;  // pointer over or pressed
};

constexpr ButtonPictures kButtonPictures[] = {
    {kIdAddFiles, kBmpAddFiles, kBmpAddFilesHover},
    {kIdRepairFile, kBmpRepairFile, kBmpRepairFileHover},
    {kIdSave, kBmpSave, kBmpSaveHover},
    {kIdSettings, kBmpSettings, kBmpSettingsHover},
    {kIdLiveUpdate, kBmpLiveUpdate, kBmpLiveUpdateHover},
    {kIdRemoveSelected, kBmpRemoveSelected, kBmpRemoveSelectedHover},
    {kIdRemoveAll, kBmpRemoveAll, kBmpRemoveAllHover},
    {kIdNext, kBmpNext, kBmpNextHover},
    {kIdBack, kBmpBack, kBmpBackHover},
    {kIdStop, kBmpStop, kBmpStopHover},
};
constexpr int kTopRowButtonWidth = 58, kTopRowButtonHeight = 50;
constexpr int kSmallButtonWidth = 50, kSmallButtonHeight = 38;
// The first five buttons stand on the top row; the rest are small.
constexpr int kTopRowButtonCount = 5;

// Every bitmap that is not a button.
constexpr PictureSize kBitmapSizes[] = {
    {kBmpSkinTopLeft, 566, 247},  {kBmpSkinTopRight, 138, 248}, {kBmpSkinTop, 76, 247},
    {kBmpSkinBottomRight, 428, 152}, {kBmpSkinBottomLeft, 346, 152}, {kBmpSkinLeft, 87, 222},
    {kBmpSkinRight, 70, 214},     {kBmpHomePage, 136, 66},      {kBmpSplash, 359, 182},
    {kBmpDialog, 375, 185},       {kBmpSaving, 495, 270},       {kBmpAbout, 359, 335},
    {kBmpPreviewBadge, 152, 60},
};

}  // namespace drelin::res
