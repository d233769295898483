#include "ProcessExit.h"

#include <QSettings>

#include <cstdio>
#include <cstdlib>

#include "SettingsStore.h"
#include "WorkFolder.h"

namespace drelin {
namespace {

ProcessExit::Terminator& CurrentTerminator() {
  static ProcessExit::Terminator terminator;
  return terminator;
}

}  // namespace

void ProcessExit::Exit(int status) {
  QSettings store(QSettings::IniFormat, QSettings::UserScope, SettingsStore::kOrganisation,
                  SettingsStore::kApplication);
  store.sync();
  platform::RemoveProcessWorkFolder();
  const Terminator& terminator = CurrentTerminator();
  if (terminator) {
    terminator(status);
    return;
  }
  std::fflush(nullptr);
  std::_Exit(status);
}

ProcessExit::Terminator ProcessExit::SetTerminator(Terminator terminator) {
  Terminator previous = std::move(CurrentTerminator());
  CurrentTerminator() = std::move(terminator);
  return previous;
}

}  // namespace drelin
