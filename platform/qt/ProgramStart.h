// ProgramStart: starting another program of the installation (the updater)
// detached from this one, with its arguments passed as they are and never
// through a shell. The starter can be replaced, so tests can see a start,
// or a failing one, without anything being run.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace drelin {

class ProgramStart {
 public:
  struct Result {
    bool started = false;
    QString reason;  // why it did not start; empty when it did
  };
  using Starter = std::function<Result(const QString& program, const QStringList& arguments)>;

  // Starts `program` detached in the current folder.
  static Result StartDetached(const QString& program, const QStringList& arguments);

  // Replaces the starter (null restores the real one); returns the old one.
  static Starter SetStarter(Starter starter);
};

// Installs a starter for the lifetime of the object (tests).
class ScopedProgramStarter {
 public:
  explicit ScopedProgramStarter(ProgramStart::Starter starter)
      : previous_(ProgramStart::SetStarter(std::move(starter))) {}
  ~ScopedProgramStarter() { ProgramStart::SetStarter(std::move(previous_)); }
  ScopedProgramStarter(const ScopedProgramStarter&) = delete;
  ScopedProgramStarter& operator=(const ScopedProgramStarter&) = delete;

 private:
  ProgramStart::Starter previous_;
};

}  // namespace drelin
