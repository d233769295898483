#include "AdvanceDecision.h"

#include "DbfLayout.h"
#include "TableScan.h"

namespace drelin {

namespace {

bool IsAsciiLetter(uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsNameCharacter(uint8_t c) { return IsAsciiLetter(c) || (c >= '0' && c <= '9') || c == '_'; }

std::string Refusal(uint16_t stored, const std::string& why) {
  return "Advance repair cannot use the stored header length " + std::to_string(stored) + ": " + why;
}

// Length of the run of name characters that opens the block (at most 11).
size_t NameLength(const uint8_t* block) {
  size_t name = 0;
  while (name < DbfFieldDescriptor::kNameSize && IsNameCharacter(block[name])) ++name;
  return name;
}

}  // namespace

bool IsWellFormedDescriptor(const uint8_t* block) {
  const size_t name = NameLength(block);
  if (name == 0) return false;
  for (size_t i = name; i < DbfFieldDescriptor::kNameSize; ++i) {
    if (block[i] != 0) return false;
  }
  return IsAsciiLetter(block[DbfFieldDescriptor::kTypeOffset]);
}

AdvanceDecision DecideAdvance(const ByteSource& source) {
  AdvanceDecision decision;
  uint8_t stored[2] = {};
  source.Read(DbfHeader::kHeaderLengthOffset, stored, sizeof stored);
  const uint16_t h = ReadLe16(stored);
  decision.storedHeaderLength = h;
  const uint64_t at = h - 1u;  // meaningful once h >= 33

  if (h > 0) decision.terminatorOffset = FindTerminator(source, at);
  if (decision.terminatorOffset) {
    decision.rule = AdvanceRule::kTerminatorBefore;
    return decision;
  }
  decision.rule = AdvanceRule::kRefused;
  if (h < DbfHeader::kSize + 1) {
    decision.refusal = Refusal(h, "it is less than 33, the least a header with a terminator has");
    return decision;
  }
  const std::string puts = "it puts the header terminator at offset " + std::to_string(at) + ", ";
  if (at >= source.length()) {
    decision.refusal =
        Refusal(h, puts + "past the end of the file (" + std::to_string(source.length()) + " bytes)");
    return decision;
  }
  if (at % DbfFieldDescriptor::kSize != 0) {
    decision.refusal =
        Refusal(h, puts + "where no descriptor block starts (33, 65, 97, ... are possible)");
    return decision;
  }
  uint8_t block[DbfFieldDescriptor::kSize] = {};
  source.Read(at, block, sizeof block);
  if (IsWellFormedDescriptor(block)) {
    const std::string name(reinterpret_cast<const char*>(block), NameLength(block));
    decision.refusal = Refusal(h, puts + "which would overwrite the descriptor of field '" + name + "'");
    return decision;
  }
  decision.rule = block[0] == kHeaderTerminator ? AdvanceRule::kTerminatorAgrees
                                                 : AdvanceRule::kTerminatorForced;
  return decision;
}

}  // namespace drelin
