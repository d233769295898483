#include "CorvantilexApp.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

#include "AboutBox.h"
#include "CommandRouter.h"
#include "CorvantilexView.h"
#include "FileListCtrl.h"
#include "ResourceIds.h"
#include "ShellStrings.h"
#include "ShellTexts.h"
#include "StartupSplash.h"

namespace drelin {
namespace {

// Why the file list would not take `path`, a .dbf name not listed yet.
std::string WhyNotAFile(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return std::strerror(errno);
  if (!S_ISREG(status.st_mode)) return "it is not a regular file";
  return "its facts could not be read";
}

}  // namespace

CCorvantilexApp::CCorvantilexApp() : CCorvantilexApp(Options()) {}

CCorvantilexApp::CCorvantilexApp(Options options) : options_(std::move(options)) {}

CCorvantilexApp::~CCorvantilexApp() = default;

bool CCorvantilexApp::InitInstance(const std::vector<std::string>& arguments) {
  LoadShellStrings();
  const std::string folder = options_.currentFolder.empty() ? CurrentFolder() : options_.currentFolder;
  const StartCommandLine command = ParseStartCommandLine(arguments, folder);
  CStartupSplash::EnableSplash(command.splash);
  if (command.componentStart) return false;

  document_.OnNewDocument();
  frame_ = std::make_unique<CMainFrame>(std::move(options_.frame));
  frame_->OnUpdateFrameTitle(document_.GetTitle());
  CommandRouter& router = frame_->router();
  router.Add(res::kCmdAbout, [this] { OnAppAbout(); });
  router.Add(res::kCmdExit, [this] { frame_->close(); });
  AddTables(command.tables);
  frame_->showMaximized();
  return true;
}

void CCorvantilexApp::OnAppAbout() {
  CAboutBox about(frame_.get());
  about.DoModal();
}

void CCorvantilexApp::AddTables(const std::vector<StartCommandLine::Table>& tables) {
  CFileListCtrl& list = *frame_->view()->fileList();
  std::set<std::string> listed;
  std::vector<std::string> paths;
  for (const StartCommandLine::Table& table : tables) {
    if (!table.path.empty() && list.Contains(table.path)) listed.insert(table.path);
    if (!table.path.empty()) paths.push_back(table.path);
  }
  if (!paths.empty()) list.AddFiles(paths);
  // What the list took, and why it left out the others.
  std::set<std::string> taken;
  for (const StartCommandLine::Table& table : tables) {
    if (table.path.empty()) {
      Report(table.given, "the current folder is not known");
    } else if (!HasDbfExtension(table.path)) {
      Report(table.given, "the name does not end in .dbf");
    } else if (listed.count(table.path) != 0 || taken.count(table.path) != 0) {
      Report(table.given, "it is in the list already");
    } else if (!list.Contains(table.path)) {
      Report(table.given, WhyNotAFile(table.path).c_str());
    } else {
      taken.insert(table.path);
    }
  }
}

void CCorvantilexApp::Report(const std::string& given, const char* reason) {
  const std::string line = std::string(shell_texts::kProgramName) + ": " + given + " was not added: " + reason;
  if (options_.report) {
    options_.report(line);
    return;
  }
  std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace drelin
