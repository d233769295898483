// FolderChooser: asks the user for the folder to save repaired files into.
#pragma once

#include <string>

namespace drelin::batch {

class FolderChooser {
 public:
  virtual ~FolderChooser() = default;
  // The chosen folder's path; empty when nothing (or nothing with a path)
  // was chosen. Called on the user-interface thread.
  virtual std::string ChooseFolder(const std::string& title) = 0;
};

}  // namespace drelin::batch
