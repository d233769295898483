// Opens a table for preview and reads its first and last rows, printing how
// long that took and the process's peak memory. The preview must answer
// at once whatever the record count, with memory independent of it.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "PreviewTable.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s TABLE\n", argv[0]);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const drelin::PreviewTable table(drelin::SystemFileIo(), argv[1]);
  size_t bytes = 0;
  for (uint64_t row : {uint64_t{0}, table.rowCount() - 1}) {
    for (size_t column = 0; column < table.columnCount(); ++column) bytes += table.Cell(row, column).size();
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("rows %llu, first and last row (%zu bytes) in %.3f ms, peak memory %ld KiB\n",
              static_cast<unsigned long long>(table.rowCount()), bytes,
              std::chrono::duration<double, std::milli>(elapsed).count(), usage.ru_maxrss);
  return 0;
}
