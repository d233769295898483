// The preview command: what the status list's double-click, its "Preview"
// item and Next on the repair page do. It refuses while a run is in
// progress, without a highlighted row and for a row that is not "Done";
// otherwise it shows the row's repaired working file in the modal File
// Preview window.
#pragma once

#include <QString>

#include <string>

#include "MessageCall.h"

class QWidget;

namespace drelin {

// The refusals, as the user reads them.
constexpr char kPreviewWhileRepairing[] =
    "You can not see the preview while repairing the file.\t\t\t\n"
    "To see the preview stop the repairing of file";
constexpr char kPreviewNoRow[] = "Please select a file from the list to see the preview";
constexpr char kPreviewNotRepaired[] = "File is not repaired yet!";

// The three refusals, then the modal File Preview window over `parent`.
// `row` is the highlighted row (-1: none); returns after the window closed
// (the caller gives the focus back to the status list). A working file that
// is missing shows the empty grid; one that cannot be read is told (file
// and reason) instead of the window.
void RunPreviewCommand(QWidget* parent, batch::MessageCall& messages, int row, const std::string& source,
                       const std::string& status, const std::string& workingPath, const QString& startFolder);

}  // namespace drelin
