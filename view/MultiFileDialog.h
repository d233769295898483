// CMultiFileDialog: the open dialog of Add files: several existing files at
// once, DBF tables by default (the filter matches ".dbf" in any letter
// case) or all files, symbolic links returned as chosen. The chosen paths
// come back as raw bytes in the dialog's order, however many there are.
#pragma once

#include <string>
#include <vector>

class QWidget;

namespace drelin {

class CMultiFileDialog {
 public:
  explicit CMultiFileDialog(QWidget* owner) : owner_(owner) {}

  // Runs the dialog; true when the user confirmed a choice.
  bool DoModal();
  // The chosen paths, in the dialog's order.
  const std::vector<std::string>& paths() const { return paths_; }

 private:
  QWidget* owner_;
  std::vector<std::string> paths_;
};

}  // namespace drelin
