// BatchTexts: the words, log lines, messages and numbers of the repair batch,
// byte for byte as the user sees them. The views compare status words with
// these, so they live in one place.
#pragma once

namespace drelin::batch {

// Status words of a row (column 1 of the status list), in the order a row
// passes through them.
constexpr char kStatusPending[] = "Pending";
constexpr char kStatusProgress[] = "Progress";
constexpr char kStatusDone[] = "Done";
constexpr char kStatusFailed[] = "Failed";

// The mode texts of column 2.
constexpr char kNormalModeText[] = "Normal Repair Mode";
constexpr char kAdvanceModeText[] = "Advance Repair Mode";

// The view's hint texts, by index: 0 the file page, 1 a run going on,
// 2 a run over.
constexpr const char* kHintTexts[3] = {
    "\t1. Add files into list from the add file button from toolbar\n"
    "\t2. Click next or repair file button.",
    "\t1. Drelin is repairing files ...\n"
    "\t2. You can stop the repairing process by pressing stop button",
    "\t1. You can see the preview of repaired files by double clicking file in list.\n"
    "\t2. You can save the repaired file by using save button on toolbar",
};

// The progress log. A file's block opens with these lines; the one transient
// line shows only while the file is being repaired.
constexpr char kLogRepairing[] = "\r\nRepairing \r\n";
constexpr char kLogProgressLines[] =
    "\r\n\r\nRepair Progress..."
    "\r\n\tAnalyzing Header"
    "\r\n\t\tError found in Header"
    "\r\n\t\tRepairing Header"
    "\r\n\tExtracting data";
constexpr char kLogTransient[] = "\r\n\t\tExtraction Phase 1";
constexpr char kLogAddingData[] = "\r\n\tAdding data";
constexpr char kLogComplete[] =
    "\r\nRepair Complete"
    "\r\nPlease select the file from the list below, and Double Click to see the preview or save "
    "using \"Save Files\" from toolbar.\r\n\r\n";
constexpr char kLogFailed[] = "\r\nRepair Failed";

// Messages, all under this caption.
constexpr char kCaption[] = "Tarnova Drelin DBF";
constexpr char kAskStop[] = "Are you sure that you want to stop the reparing of the file";
constexpr char kStopBeforeBack[] = "Firstly stop the repairing of the file to go back";
constexpr char kStopBeforeSave[] = "Firstly stop the Repairing to save the file";
constexpr char kNothingRepaired[] = "No file is repaired yet";
constexpr char kAskSaveBeforeLeaving[] =
    "Repaired files have not been saved. Do you want to save it?";
constexpr char kChooseFolderTitle[] = "Please select the path to Save the files";
// A save or a discard that a file error ended: the error's text follows the
// colon, then the sentence after it.
constexpr char kSavingStopped[] = "Saving stopped: ";
constexpr char kSavingKept[] = ". The repaired files not yet saved are still in the working folder.";
constexpr char kDiscardingStopped[] = "Discarding stopped: ";
constexpr char kDiscardingKept[] =
    ". The repaired files not yet discarded are still in the working folder.";

// The file-name prefix, as the main frame starts it, and the Settings
// dialog's checks of a new one (they use their own caption).
constexpr char kDefaultPrefix[] = "Rep";
constexpr char kPrefixCaption[] = "Tarnova Drelin Degital media";
constexpr char kPrefixEmpty[] = "Please fill prefix";
constexpr char kPrefixIllegal[] = "Illegal character found in file pre fix ";
constexpr char kPrefixForbidden[] = "/\\|*:?<>'";

// The period of the stop timer (its id is res::kStopTimerId).
constexpr int kStopTimerPeriodMs = 1000;

}  // namespace drelin::batch
