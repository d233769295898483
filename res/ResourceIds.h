// ResourceIds: every number the program's windows, commands and pictures
// are known by. Menu items, buttons and shortcuts carry these command ids to
// one router; dialogs name their controls by them; pictures are compiled in
// as ":/res/<number>". Plain constants, so the batch and the command line can
// use them without Qt.
#pragma once

namespace drelin::res {

// The main view's controls; the buttons' ids are also their commands.
constexpr int kIdRemoveSelected = 61447;
constexpr int kIdRemoveAll = 61448;
constexpr int kIdSettings = 61449;
constexpr int kIdLiveUpdate = 61450;
constexpr int kIdFileList = 61451;
constexpr int kIdNext = 61452;
constexpr int kIdStatusList = 61453;
constexpr int kIdLogBox = 61454;
constexpr int kIdBack = 61455;
constexpr int kIdHomePage = 61456;
constexpr int kIdCheckAll = 61458;
constexpr int kIdSave = 61460;
constexpr int kIdStop = 61461;
constexpr int kIdHintLabel = 61462;
constexpr int kIdAddFiles = 61464;
constexpr int kIdPreview = 61465;  // the status list's context menu
constexpr int kIdRepairFile = 61466;

// The view's stop timer, which tidies up after a stopped run.
constexpr int kStopTimerId = 61463;

// Commands of the main menu (and one help command without a menu item).
constexpr int kCmdHelpKey = 32771;
constexpr int kCmdHomePage = 32773;
constexpr int kCmdAddFiles = 32781;
constexpr int kCmdRemoveAll = 32782;
constexpr int kCmdRemoveSelected = 32783;
constexpr int kCmdSettings = 32784;
constexpr int kCmdLiveUpdate = 32785;
constexpr int kCmdHelp = 32786;

// Framework commands: the ones the program handles, and the ones its
// shortcut table names without any handler.
constexpr int kCmdNew = 57600;
constexpr int kCmdOpen = 57601;
constexpr int kCmdPrint = 57607;
constexpr int kCmdPrintDirect = 57608;
constexpr int kCmdPrintPreview = 57609;
constexpr int kCmdCopy = 57634;
constexpr int kCmdCut = 57635;
constexpr int kCmdPaste = 57637;
constexpr int kCmdUndo = 57643;
constexpr int kCmdAbout = 57664;
constexpr int kCmdExit = 57665;
constexpr int kCmdNextPane = 57680;
constexpr int kCmdPreviousPane = 57681;

// The main frame: menu, shortcuts, icon and document strings share 128.
constexpr int kIdMainFrame = 128;
constexpr int kIdStatusBar = 59393;
constexpr int kIdIndicatorCaps = 59137;
constexpr int kIdIndicatorNum = 59138;
constexpr int kIdIndicatorScroll = 59139;

// Strings: the application title and the status bar's idle text.
constexpr int kStrAppTitle = 57344;
constexpr int kStrIdle = 57345;

// Dialog templates.
constexpr int kDlgAbout = 100;
constexpr int kDlgFilePreview = 138;
constexpr int kDlgSettings = 189;
constexpr int kDlgSaving = 198;
constexpr int kDlgRepairMode = 250;

// Dialog controls.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdPreviewSaveCheck = 1011;  // File Preview: hidden
constexpr int kIdPreviewSaveCheck2 = 1012;  // File Preview: hidden
constexpr int kIdPrefixEdit = 1016;  // Settings
constexpr int kIdPrefixLabel = 1018;
constexpr int kIdSavingText = 1019;  // Saving
constexpr int kIdAboutText = 1021;  // About
constexpr int kIdAboutContact = 1022;
constexpr int kIdPreviewGrid = 1025;  // File Preview
constexpr int kIdNormalMode = 1032;  // Repair Mode
constexpr int kIdAdvanceMode = 1033;
constexpr int kIdModeGroup = 1034;
constexpr int kIdAboutVersion = 1035;  // About
constexpr int kIdPreviewList2 = 1036;  // File Preview: hidden

// Bitmaps: the view's skin, painted around its controls.
constexpr int kBmpSkinTopLeft = 251;
constexpr int kBmpSkinTopRight = 172;
constexpr int kBmpSkinTop = 175;
constexpr int kBmpSkinBottomLeft = 176;
constexpr int kBmpSkinBottomRight = 177;
constexpr int kBmpSkinLeft = 190;
constexpr int kBmpSkinRight = 191;

// Bitmaps of the view's buttons: normal look, and pointer over or pressed.
constexpr int kBmpAddFiles = 131, kBmpAddFilesHover = 130;
constexpr int kBmpRepairFile = 178, kBmpRepairFileHover = 179;
constexpr int kBmpSave = 181, kBmpSaveHover = 180;
constexpr int kBmpSettings = 182, kBmpSettingsHover = 183;
constexpr int kBmpLiveUpdate = 184, kBmpLiveUpdateHover = 185;
constexpr int kBmpRemoveSelected = 240, kBmpRemoveSelectedHover = 233;
constexpr int kBmpRemoveAll = 234, kBmpRemoveAllHover = 235;
constexpr int kBmpNext = 232, kBmpNextHover = 146;
constexpr int kBmpBack = 238, kBmpBackHover = 239;
constexpr int kBmpStop = 236, kBmpStopHover = 237;

// Other bitmaps.
constexpr int kBmpHomePage = 243;  // the view's home-page button
constexpr int kBmpSplash = 215;
constexpr int kBmpDialog = 197;  // Repair Mode and Settings
constexpr int kBmpSaving = 199;
constexpr int kBmpAbout = 217;
constexpr int kBmpPreviewBadge = 261;  // File Preview, top-left corner

// Icons (drawn at 48 x 48, scaled where they are used).
constexpr int kIconApp = 128;
constexpr int kIconNext = 157;
constexpr int kIconAbout = 158;
constexpr int kIconAddFiles = 159;
constexpr int kIconHelp = 160;
constexpr int kIconWeb = 161;  // Live Update and the home page
constexpr int kIconExit = 162;
constexpr int kIconFailed = 162;  // the same picture
constexpr int kIconSettings = 163;
constexpr int kIconRemoveAll = 165;
constexpr int kIconRemoveSelected = 166;
constexpr int kIconDone = 168;
constexpr int kIconProgress = 169;
constexpr int kIconPending = 170;

// Icons of the file list's column headers.
constexpr int kIconLocation = 200;
constexpr int kIconName = 201;
constexpr int kIconSize = 202;
constexpr int kIconType = 203;
constexpr int kIconAccessed = 204;
constexpr int kIconWritten = 205;
constexpr int kIconCreated = 206;

}  // namespace drelin::res
