// CCorvantilexApp: the program's start-up and its application commands.
// InitInstance reads the command line (StartCommandLine.h), switches the
// start-up splash on or off, and for an ordinary start makes the document
// and the main frame with its view, adds the tables named on the command
// line to the file list as if chosen in the open dialog (each one it cannot
// add is reported on stderr with the reason), and shows the window
// maximised. The application answers About (the About box) and Exit (the
// main frame's close flow).
#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CorvantilexDoc.h"
#include "MainFrame.h"
#include "StartCommandLine.h"

namespace drelin {

class CCorvantilexApp : public QObject {
  Q_OBJECT

 public:
  struct Options {
    CMainFrame::Options frame;
    // The current folder relative tables are taken from; empty: the process's.
    std::string currentFolder;
    // Where a table that was not added is reported (one line, no line
    // feed); empty: stderr.
    std::function<void(const std::string& line)> report;
  };

  CCorvantilexApp();
  explicit CCorvantilexApp(Options options);
  ~CCorvantilexApp() override;

  // Start-up with the arguments after the program's name. False when the
  // program ends at once (a component start, status 0), true once the
  // window shows.
  bool InitInstance(const std::vector<std::string>& arguments);

  CMainFrame* frame() const { return frame_.get(); }
  CCorvantilexDoc& document() { return document_; }

  void OnAppAbout();

 private:
  void AddTables(const std::vector<StartCommandLine::Table>& tables);
  void Report(const std::string& given, const char* reason);

  Options options_;
  CCorvantilexDoc document_;
  std::unique_ptr<CMainFrame> frame_;
};

}  // namespace drelin
