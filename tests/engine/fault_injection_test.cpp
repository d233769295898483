// Any single failing file-system call during a repair is reported as a
// FileError naming the file, and never touches the source or leaves a stray
// file behind.
#include <gtest/gtest.h>

#include "DbfBuilder.h"
#include "EngineTestUtil.h"
#include "SimulatedIo.h"
#include "FileError.h"

namespace drelin::testing {
namespace {

Bytes DamagedOrders() {
  DbfBuilder table;
  table.Field("ID", 'N', 5).Field("NAME", 'C', 30);
  for (int i = 0; i < 50; ++i) table.Record({std::to_string(i), "name " + std::to_string(i)});
  Bytes bytes = table.EndOfFileByte(false).Build();
  bytes[4] = 0xFF;       // wrong record count
  bytes[96] = 0x0A;      // lost terminator (Advance restores it)
  bytes.resize(bytes.size() - 3);  // cut-off last record
  return bytes;
}

TEST(FaultInjection, EveryFailingCallOfARepairIsReportedAndHarmless) {
  const Bytes source = DamagedOrders();
  for (int mode : {kRepairNormal, kRepairAdvance}) {
    const auto expected = ReferenceRepair(source, mode);
    ASSERT_TRUE(expected);
    TempDir dir;
    const std::string in = dir / "in.dbf";
    const std::string out = dir / "out.dbf";
    WriteFile(in, source);

    SimulatedIo io;
    DbfRepairEngine engine(io);
    engine.Repair(in, out, mode);
    const long calls = io.count();
    ASSERT_GT(calls, 5);

    for (long n = 1; n <= calls; ++n) {
      std::remove(out.c_str());
      io.FailAt(n, EIO);
      try {
        engine.Repair(in, out, mode);
        // Only a failure nobody needs to hear of (closing the source) may pass.
        EXPECT_EQ(ReadFile(out), *expected) << "mode " << mode << " call " << n;
      } catch (const FileError& error) {
        const std::string what = error.what();
        EXPECT_TRUE(error.path() == in || error.path() == out) << what;
        EXPECT_NE(what.find(error.path()), std::string::npos) << what;
        EXPECT_NE(what.find("Input/output error"), std::string::npos) << what;
      }
      EXPECT_TRUE(io.failed()) << "call " << n;
      EXPECT_EQ(ReadFile(in), source) << "call " << n;
      for (const std::string& name : dir.Entries()) {
        EXPECT_TRUE(name == "in.dbf" || name == "out.dbf") << "stray " << name;
      }
    }
  }
}

TEST(FaultInjection, NoKernelCopyFallsBackToBufferedCopy) {
  // vfat, some network file systems and older kernels refuse copy_file_range
  // between two files; the repair must still come out the same.
  const Bytes source = DamagedOrders();
  for (int error : {EXDEV, EINVAL, ENOSYS, EOPNOTSUPP}) {
    TempDir dir;
    WriteFile(dir / "in.dbf", source);
    SimulatedIo io;
    io.FailAt(1, error, {SimulatedIo::kCopyFileRange});
    DbfRepairEngine(io).Repair(dir / "in.dbf", dir / "out.dbf", kRepairNormal);
    EXPECT_TRUE(io.failed());
    EXPECT_EQ(ReadFile(dir / "out.dbf"), *ReferenceRepair(source, kRepairNormal)) << error;
  }
}

}  // namespace
}  // namespace drelin::testing
