// FilePrefix: the file-name prefix saved tables are named under, and the
// rules a new prefix must pass (the Settings dialog's and the command
// line's --prefix).
#pragma once

#include <string>

namespace drelin::batch {

// The file-name prefix in force while the program runs ("Rep" at start,
// never stored); the main frame owns it, the view and the Settings dialog
// reach it through this.
class FilePrefix {
 public:
  virtual ~FilePrefix() = default;
  virtual std::string Prefix() const = 0;
  virtual void SetPrefix(const std::string& prefix) = 0;
};

// The most characters a prefix may have (the Settings field holds no more).
constexpr int kPrefixMaxLength = 50;

// The message when `prefix` is refused, empty when it is accepted: empty,
// a forbidden character, or more than kPrefixMaxLength characters (each
// byte that is not part of well-formed UTF-8 counting as one).
std::string PrefixRefusal(const std::string& prefix);

}  // namespace drelin::batch
