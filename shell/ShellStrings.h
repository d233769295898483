// ShellStrings: the shell's numbered strings, put into the program's string
// table (StringTable.h) at start-up: the document template, the application
// title, the status bar's idle text and each menu command's prompt (the
// status-bar text, then after a line feed the command's short name).
#pragma once

#include <QString>

namespace drelin {

// Puts the strings into the program's table; doing it again changes nothing.
void LoadShellStrings();

// The document template's seven fields, separated by line feeds (string 128).
extern const char kDocumentTemplate[];

// The status-bar text of a prompt: the part before the line feed.
QString PromptStatusText(const QString& prompt);

}  // namespace drelin
