// drelin-repair: the command-line face of the repair engine.
#include <unistd.h>

#include <clocale>
#include <iostream>

#include "Commands.h"
#include "Interrupt.h"

int main(int argc, char** argv) {
  // Display widths of table text are measured in a UTF-8 character type.
  std::setlocale(LC_CTYPE, "C.UTF-8");
  drelin::cli::InstallInterruptHandler();
  const int code = drelin::cli::Main(argc, argv, std::cout, std::cerr, STDOUT_FILENO,
                                     drelin::SystemFileIo());
  std::cout.flush();
  return code;
}
