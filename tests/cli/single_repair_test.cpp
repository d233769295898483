// Writing a repair to a new file: any single failing call leaves nothing
// behind and is told about the files the user named; success leaves exactly
// the named file.
#include <gtest/gtest.h>

#include "DbfBuilder.h"
#include "SimulatedIo.h"
#include "FileError.h"
#include "ReferenceModel.h"
#include "SingleRepair.h"
#include "TempDir.h"

namespace drelin::testing {
namespace {

Bytes Table() {
  DbfBuilder table;
  table.Field("NAME", 'C', 12).Field("QTY", 'N', 4);
  for (int i = 0; i < 40; ++i) table.Record({"item " + std::to_string(i), std::to_string(i)});
  Bytes bytes = table.Build();
  bytes[4] = 0;
  return bytes;
}

TEST(SingleRepair, EveryFailingCallLeavesNothingBehind) {
  const Bytes source = Table();
  for (int mode : {kRepairNormal, kRepairAdvance}) {
    TempDir dir;
    WriteFile(dir / "in.dbf", source);
    SimulatedIo io;
    cli::RepairToNewFile(io, dir / "in.dbf", dir / "out.dbf", mode);
    const long calls = io.count();
    std::remove((dir / "out.dbf").c_str());

    for (long n = 1; n <= calls; ++n) {
      io.FailAt(n, EIO);
      bool succeeded = false;
      try {
        cli::RepairToNewFile(io, dir / "in.dbf", dir / "out.dbf", mode);
        succeeded = true;
      } catch (const FileError& error) {
        // The user hears of the file they named (or of the folder or a
        // companion name looked at for it), never of a temporary one.
        const std::string path = error.path();
        EXPECT_TRUE(path == dir / "in.dbf" || path.rfind(dir / "out.", 0) == 0 || path == dir / "")
            << error.what();
        EXPECT_EQ(std::string(error.what()).find(".part"), std::string::npos) << error.what();
      }
      const std::vector<std::string> expected =
          succeeded ? std::vector<std::string>{"in.dbf", "out.dbf"} : std::vector<std::string>{"in.dbf"};
      EXPECT_EQ(dir.Entries(), expected) << "call " << n;
      if (succeeded) {
        EXPECT_EQ(ReadFile(dir / "out.dbf"), *ReferenceRepair(source, mode)) << "call " << n;
      }
      EXPECT_EQ(ReadFile(dir / "in.dbf"), source);
      std::remove((dir / "out.dbf").c_str());
    }
  }
}

TEST(SingleRepair, AdvanceRepairOpensNoFileButSourceAndOutput) {
  TempDir dir;
  WriteFile(dir / "in.dbf", Table());
  SimulatedIo io;
  io.FailAt(0, EIO, {SimulatedIo::kOpen});  // counts the opens, fails none
  DbfRepairEngine(io).Repair(dir / "in.dbf", dir / "out.dbf", kRepairAdvance);
  EXPECT_EQ(io.count(), 2);
}

}  // namespace
}  // namespace drelin::testing
