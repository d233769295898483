// ShellTexts: the words and messages of the application shell (start-up,
// the main frame, the launches), byte for byte as the user sees them.
#pragma once

namespace drelin::shell_texts {

// The caption: the document's title, " - ", the frame's title.
constexpr char kDocumentTitle[] = "Tarnova Drelin";
constexpr char kFrameTitle[] = "DBF";
constexpr char kTitleSeparator[] = " - ";

// The close flow.
constexpr char kStopRepairFirst[] = "First stop the reparing of file by clicking the stop button";
constexpr char kAskExit[] = "Do you really want to exit ?";

// The launches, and the companions they look for in the start folder.
constexpr char kHelpFileName[] = "Tarnova Drelin for DBF.html";
constexpr char kHelpNotFound[] = " Help file for Tarnova Drelin DBF not found.";
constexpr char kUpdaterFileName[] = "Drelin Live Update";
constexpr char kUpdaterArgument[] = "<TQMB>";
constexpr char kUpdaterNotFound[] = "Live Update file not found. Please re-install the software.";
constexpr char kAskLiveUpdate[] =
    "The application will be closed if you want to run Live Update of the software. Continue ?";
// An updater that was found but did not start: the reason follows.
constexpr char kUpdaterFailed[] = "Live Update could not be started: ";

// The status bar's lock indicators, shown while the lock is on.
constexpr char kIndicatorCaps[] = "CAP";
constexpr char kIndicatorNum[] = "NUM";
constexpr char kIndicatorScroll[] = "SCRL";

// The command line's report of a table it could not add, on stderr.
constexpr char kProgramName[] = "tarnova-drelin";

}  // namespace drelin::shell_texts
