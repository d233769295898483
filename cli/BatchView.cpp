#include "BatchView.h"

#include <algorithm>
#include <ostream>

#include "BatchTexts.h"
#include "PreviewExport.h"

namespace drelin::cli {

namespace {

std::string WithLineFeeds(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    result += text[i];
  }
  return result;
}

// Log text as a terminal may show it: the line breaks and tabs of the log
// stay, anything a hostile file name could smuggle in is escaped.
std::string ForTerminal(const std::string& text) {
  std::string result;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find_first_of("\n\t", start), text.size());
    result += EscapeForTerminal(PathText(text.substr(start, end - start)));
    if (end == text.size()) break;
    result += text[end];
    start = end + 1;
  }
  return result;
}

}  // namespace

BatchView::BatchView(std::vector<std::string> sources, bool normalMode, std::ostream& out)
    : sources_(std::move(sources)),
      normalMode_(normalMode),
      out_(out),
      statuses_(sources_.size(), batch::kStatusPending),
      reasons_(sources_.size()),
      saved_(sources_.size(), false) {}

bool BatchView::CheckBeforeRepair() {
  m_bNormalMode = normalMode_;
  return true;
}

void BatchView::QueueCheckedRows() {
  rows_.clear();
  for (const auto& source : sources_) rows_.push_back({source, batch::kStatusPending});
}

std::string BatchView::GetRowText(int row, int column) {
  const Row& entry = rows_.at(static_cast<size_t>(row));
  if (column == 0) return entry.path;
  if (column == 1 && saving_ && saveStopped_) return batch::kStatusPending;
  if (column == 1) return entry.status;
  return m_bNormalMode ? batch::kNormalModeText : batch::kAdvanceModeText;
}

void BatchView::SetRowStatus(int row, const std::string& word) {
  rows_.at(static_cast<size_t>(row)).status = word;
  statuses_.at(static_cast<size_t>(row)) = word;
}

std::vector<std::string> BatchView::Statuses() const { return statuses_; }

void BatchView::RowFailed(int row, const std::string& reason) {
  reasons_.at(static_cast<size_t>(row)) = reason;
}

void BatchView::FileSaved(int row, const std::string& source, const std::string& destination) {
  saved_.at(static_cast<size_t>(row)) = true;
  out_ << PathText(source) << " -> " << PathText(destination) << "\n" << std::flush;
}

int BatchView::GetLogLineCount() {
  return 1 + lineFeeds_ + static_cast<int>(std::count(transient_.begin(), transient_.end(), '\n'));
}

void BatchView::ClearLog() {
  unprinted_.clear();
  transient_.clear();
  lineFeeds_ = 0;
}

void BatchView::AppendLog(const std::string& text) {
  transient_.clear();
  lineFeeds_ += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  unprinted_ += text;
  const size_t lineEnd = unprinted_.rfind('\n');
  if (lineEnd == std::string::npos) return;
  Print(unprinted_.substr(0, lineEnd + 1));
  unprinted_.erase(0, lineEnd + 1);
}

void BatchView::FlushLog() {
  if (!unprinted_.empty()) {
    Print(unprinted_);
    out_ << "\n";
  }
  unprinted_.clear();
  out_ << std::flush;
}

void BatchView::Print(const std::string& text) {
  out_ << ForTerminal(WithLineFeeds(text)) << std::flush;
}

int BatchMessages::RichMessageBox(const std::string& text, const std::string&, unsigned style) {
  if ((style & 0x0F) != batch::kMbOk) return batch::kIdYes;
  // One line each for the lines of a message.
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    err_ << "drelin-repair: " << EscapeForTerminal(PathText(text.substr(start, end - start))) << "\n";
  }
  err_ << "drelin-repair: " << EscapeForTerminal(PathText(text.substr(start))) << "\n";
  return batch::kIdOk;
}

}  // namespace drelin::cli
