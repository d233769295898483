// WorkFolder: this process's own subfolder of the private temporary folder,
// where its working files live. The working-file names depend only on a
// row's number and file name, so two runs at once (two windows, or several
// command lines started by a script) sharing one folder would delete or save
// each other's results; in folders of their own they never meet.
//
// The folder is made with mkdtemp and locked (flock on an open descriptor)
// for as long as the object lives; the lock also ends when the process does,
// however it ends. A subfolder whose lock is free belongs to a process that
// ended without tidying up, and RemoveAbandonedWorkFolders removes it.
#pragma once

#include <string>

#include "FileIo.h"

namespace drelin::platform {

class WorkFolder {
 public:
  // Creates and locks a new subfolder of `parent` (a folder path ending
  // with "/"). Throws FileError.
  WorkFolder(FileIo& io, const std::string& parent);
  // Removes the folder and the files in it, then lets go of the lock.
  ~WorkFolder();
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  // Ends with "/".
  const std::string& path() const { return path_; }

 private:
  FileIo& io_;
  std::string path_;
  int fd_ = -1;
};

// Removes every subfolder of `parent` made by a WorkFolder that is no longer
// locked, with the files in it. Folders in use are left alone, and so is
// everything while another WorkFolder is being made in `parent`; failures
// are ignored (a leftover costs only space, and the next start tries again).
void RemoveAbandonedWorkFolders(FileIo& io, const std::string& parent);

// This process's work folder, made on first use: the private temporary
// folder is checked, leftovers of ended processes are removed, and a new
// locked subfolder is made. It is removed when the process exits normally.
// Throws FileError. Safe to call from any thread.
std::string ProcessWorkFolder();

// Removes the process's work folder now, for the ways of ending the process
// that skip the normal exit. The next ProcessWorkFolder makes a new one.
void RemoveProcessWorkFolder() noexcept;

}  // namespace drelin::platform
