#include "ProgramStart.h"

#include <QProcess>

namespace drelin {
namespace {

ProgramStart::Starter& CurrentStarter() {
  static ProgramStart::Starter starter;
  return starter;
}

}  // namespace

ProgramStart::Result ProgramStart::StartDetached(const QString& program, const QStringList& arguments) {
  const Starter& starter = CurrentStarter();
  if (starter) return starter(program, arguments);
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  qint64 pid = 0;
  if (process.startDetached(&pid)) return {true, QString()};
  return {false, process.errorString()};
}

ProgramStart::Starter ProgramStart::SetStarter(Starter starter) {
  Starter previous = std::move(CurrentStarter());
  CurrentStarter() = std::move(starter);
  return previous;
}

}  // namespace drelin
