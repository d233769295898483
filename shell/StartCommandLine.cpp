#include "StartCommandLine.h"

#include <unistd.h>

#include <cctype>
#include <climits>

namespace drelin {
namespace {

bool EqualsIgnoringCase(const std::string& text, const char* word) {
  size_t i = 0;
  for (; word[i] != '\0'; ++i) {
    if (i >= text.size() ||
        std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(word[i]))) {
      return false;
    }
  }
  return i == text.size();
}

bool IsComponentSwitch(const std::string& argument) {
  if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return false;
  const std::string name = argument.substr(1);
  return EqualsIgnoringCase(name, "Embedding") || EqualsIgnoringCase(name, "Automation");
}

// Joins the steps of `path` with single separators, dropping "." steps.
std::string Clean(const std::string& path) {
  std::string cleaned;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string step = path.substr(start, end - start);
    if (!step.empty() && step != ".") cleaned += "/" + step;
    start = end + 1;
  }
  if (cleaned.empty()) return "/";
  // A path naming a folder keeps its closing separator.
  const bool folderEnd = path.back() == '/' || (path.size() >= 2 && path.compare(path.size() - 2, 2, "/.") == 0);
  if (folderEnd) cleaned += "/";
  return cleaned;
}

}  // namespace

std::string AbsolutePath(const std::string& path, const std::string& folder) {
  if (!path.empty() && path[0] == '/') return Clean(path);
  if (folder.empty()) return {};
  return Clean(folder + "/" + path);
}

std::string CurrentFolder() {
  std::string buffer(PATH_MAX, '\0');
  if (getcwd(buffer.data(), buffer.size()) == nullptr) return {};
  buffer.resize(buffer.find('\0'));
  return buffer;
}

StartCommandLine ParseStartCommandLine(const std::vector<std::string>& arguments,
                                       const std::string& currentFolder) {
  StartCommandLine parsed;
  bool switches = true;
  for (const std::string& argument : arguments) {
    if (switches && argument == "--") {
      switches = false;
    } else if (switches && argument == "--no-splash") {
      parsed.splash = false;
    } else if (switches && IsComponentSwitch(argument)) {
      parsed.componentStart = true;
    } else {
      parsed.tables.push_back({argument, AbsolutePath(argument, currentFolder)});
    }
  }
  // A component start shows nothing, the splash included.
  if (parsed.componentStart) parsed.splash = false;
  return parsed;
}

}  // namespace drelin
