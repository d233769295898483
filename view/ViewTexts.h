// ViewTexts: the messages of the wizard view's own commands (adding and
// removing files, starting a run), byte for byte as the user sees them. The
// batch's texts (hints, status words, the caption) are in BatchTexts.h.
#pragma once

namespace drelin::view_texts {

constexpr char kNoFilesToRemove[] = "No files to remove.";
constexpr char kSelectFilesToRemove[] = "Please select the file(s) which you want to remove.";
constexpr char kAddFilesFirst[] = "Please add file(s) in the list to repair";
constexpr char kSelectFilesFirst[] = "Please select the file(s) from the list";
constexpr char kSelectFilesMore[] = "\t1. Please select the file(s) from the list \n\t2. Click Next button";

// The buttons' tips, which are also their accessible names.
constexpr char kHomePageTip[] = "Go to the software Homepage";
// The status list's context menu.
constexpr char kPreviewItem[] = "Preview";

// The open dialog of Add files.
constexpr char kOpenCaption[] = "Open";
constexpr char kDbfFilter[] = "DBF Files (*.[dD][bB][fF]);;All Files (*)";

// A print job that could not start (no printer, no output file).
constexpr char kPrintFailed[] = "The view could not be printed: the printer did not start.";

// The two fonts of the view: face, cell height in pixels, weight.
constexpr char kViewFontFace[] = "Times New Roman";
constexpr int kViewFontCellHeight = 16;
constexpr int kViewFontWeight = 500;

}  // namespace drelin::view_texts
