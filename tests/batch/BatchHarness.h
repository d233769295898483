// BatchHarness: the repair batch wired to the fakes, with source tables, a
// work folder and a destination folder of its own, for tests that run real
// repairs on real files with a real worker thread.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "BatchFakes.h"
#include "DbfBuilder.h"
#include "DbfRepairEngine.h"
#include "RepairCommands.h"
#include "RepairFlags.h"
#include "TempDir.h"

namespace drelin::testing {

// A small table whose header lies about its record count.
inline Bytes DamagedTable(const std::string& value = "alpha") {
  Bytes bytes = DbfBuilder()
                    .Field("NAME", 'C', 12)
                    .Field("QTY", 'N', 5)
                    .Record({value, "1"})
                    .Record({value + "2", "22"})
                    .Build();
  bytes[4] = 0;  // stored record count 0, two records present
  return bytes;
}

// What the engine itself writes for `source` in `mode`.
inline Bytes EngineOutput(const std::string& source, int mode) {
  TempDir dir;
  DbfRepairEngine().Repair(source, dir / "out.dbf", mode);
  return ReadFile(dir / "out.dbf");
}

class BatchHarness : public ::testing::Test {
 protected:
  BatchHarness()
      : commands(view, messages, folders, timer, [this] { return prefix; },
                 [this] { return workFolder(); }) {}

  void SetUp() override {
    ASSERT_FALSE(batch::g_bRepairing);
    batch::g_bStopRequested = false;
    folders.answer = destination.path().string();
  }
  void TearDown() override { commands.WaitForWorker(); }

  std::string workFolder() const { return work.path().string() + "/"; }

  // Writes a source table and puts it into the file list, checked.
  std::string AddSource(const std::string& name, const Bytes& bytes) {
    const std::string path = sources / name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteFile(path, bytes);
    view.files.push_back({path, true});
    return path;
  }
  // A source that is named in the list but cannot be repaired.
  std::string AddBrokenSource(const std::string& name) { return AddSource(name, Bytes(10, 0x20)); }

  std::string WorkingPath(int row, int part, const std::string& name) const {
    return workFolder() + std::to_string(row) + "ozn_aqf_xrj_196_temp_" + std::to_string(part + 1) +
           "_" + name;
  }

  // Starts a run and waits for its end.
  void RunToEnd() {
    commands.OnRepair();
    commands.WaitForWorker();
  }

  TempDir sources;
  TempDir work;
  TempDir destination;
  FakeView view;
  FakeMessages messages;
  FakeFolderChooser folders;
  FakeTimer timer;
  std::string prefix = "Rep";
  batch::RepairCommands commands;
};

}  // namespace drelin::testing
