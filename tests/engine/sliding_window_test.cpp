// The walk's window: bytes held behind the walk are handed back before the
// buffer would grow for them, so a long search never holds more than the
// window's capacity; the released point is enforced.
#include <gtest/gtest.h>

#include <stdexcept>

#include "ByteSource.h"
#include "File.h"
#include "MemoryFileIo.h"
#include "SlidingWindow.h"

namespace drelin::testing {
namespace {

constexpr size_t kSize = size_t{1} << 20;
constexpr size_t kCapacity = size_t{64} << 10;

uint8_t Pattern(uint64_t offset) { return static_cast<uint8_t>(offset % 251); }

bool Intact(const uint8_t* bytes, uint64_t offset, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (bytes[i] != Pattern(offset + i)) return false;
  }
  return true;
}

// Holds from one point; when asked to spill, checks that what it holds is
// still there and lets go.
struct Holder : WindowHolder {
  SlidingWindow* window = nullptr;
  uint64_t from = 0;
  uint64_t until = 0;
  int spills = 0;
  void Spill() override {
    ++spills;
    EXPECT_TRUE(Intact(window->Get(from, until - from), from, until - from));
    window->Unhold();
  }
};

TEST(SlidingWindow, HeldBytesAreSpilledBeforeTheBufferGrowsForThem) {
  MemoryFileIo io;
  auto& bytes = io.files["t"];
  for (size_t i = 0; i < kSize; ++i) bytes.push_back(Pattern(i));
  const File file = File::OpenForReading(io, "t");
  const ByteSource source(file);
  SlidingWindow window(source, 0, kSize, kCapacity);

  Holder holder;
  holder.window = &window;
  holder.from = 1000;
  holder.until = 1100;
  window.Hold(holder.from, holder);
  for (uint64_t at = 0; at + 100 <= kSize; at += 100) {
    const uint8_t* got = window.Get(at, 100);
    ASSERT_TRUE(got && Intact(got, at, 100)) << at;
    window.Release(at);
  }
  EXPECT_EQ(holder.spills, 1);
  EXPECT_EQ(window.capacity(), kCapacity);
  // A byte far behind is still told, from the source.
  EXPECT_EQ(window.ByteAt(1050), Pattern(1050));
  EXPECT_THROW(window.Get(1000, 10), std::logic_error);
  EXPECT_EQ(window.Get(kSize - 10, 11), nullptr);
}

}  // namespace
}  // namespace drelin::testing
