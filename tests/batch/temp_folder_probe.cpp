// Prints what UserTempFolder answers in this process: the folder's path, or
// "PATH: REASON" when it refuses. The platform tests run it as an ordinary
// user, which the test process itself (root in CI) is not.
#include <iostream>

#include "FileError.h"
#include "TempFolder.h"

int main() {
  try {
    std::cout << drelin::platform::UserTempFolder(drelin::SystemFileIo());
  } catch (const drelin::FileError& error) {
    std::cout << error.path() << ": " << error.reason();
  }
  return 0;
}
