#include "ShellStrings.h"

#include <cstdint>

#include "ResourceIds.h"
#include "StringTable.h"

namespace drelin {

const char kDocumentTemplate[] = "Corvantilex\n\nVostra\n\n\nCorvantilex.Document\nVostra Document";

namespace {

using namespace res;

struct NumberedString {
  int id;
  const char* text;
};

const NumberedString kShellStrings[] = {
    {kIdMainFrame, kDocumentTemplate},
    {kStrAppTitle, "Tarnova Drelin DBF"},
    {kStrIdle, "Ready"},
    {kCmdAddFiles, "Add File(s) in the list to repair...\nAdd"},
    {kCmdRemoveAll, "Remove All files from the list\nRemoveAll"},
    {kCmdRemoveSelected, "Remove selected file(s) from the list\nRemove"},
    {kCmdExit, "Quit the application; prompts to save documents\nExit"},
    {kCmdSettings, "Settings for repaired file name\nSettings"},
    {kCmdLiveUpdate, "Update the software from latest changes from Internet\nLiveUpdate"},
    {kCmdHelp, "Help\n"},
    {kCmdAbout, "Display program information, version number and copyright\nAbout"},
    {kCmdHomePage, "Go to software Home Page\n"},
};

}  // namespace

void LoadShellStrings() {
  StringTable& table = ProgramStrings();
  for (const NumberedString& entry : kShellStrings) {
    table[static_cast<std::uint32_t>(entry.id)] = QString::fromLatin1(entry.text);
  }
}

QString PromptStatusText(const QString& prompt) { return prompt.section(QLatin1Char('\n'), 0, 0); }

}  // namespace drelin
