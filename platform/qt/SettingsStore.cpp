#include "SettingsStore.h"

#include <QSettings>

namespace drelin {

std::optional<QVariant> SettingsStore::Read(const QString& key) {
  QSettings store(QSettings::IniFormat, QSettings::UserScope, kOrganisation, kApplication);
  if (store.status() != QSettings::NoError || !store.contains(key)) return std::nullopt;
  return store.value(key);
}

std::optional<std::uint32_t> SettingsStore::ReadDword(const QString& key) {
  const std::optional<QVariant> value = Read(key);
  if (!value) return std::nullopt;
  const QString text = value->toString().trimmed();
  bool ok = false;
  const qulonglong number = text.toULongLong(&ok, 0);
  if (ok) {
    if (number > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<std::uint32_t>(number);
  }
  // A negative value stands for its 32-bit pattern, as a DWORD holds it.
  const qlonglong negative = text.toLongLong(&ok, 0);
  if (!ok || negative < -0x80000000ll || negative >= 0) return std::nullopt;
  return static_cast<std::uint32_t>(negative + 0x100000000ll);
}

bool SettingsStore::Write(const QString& key, const QVariant& value) {
  QSettings store(QSettings::IniFormat, QSettings::UserScope, kOrganisation, kApplication);
  store.setValue(key, value);
  store.sync();
  return store.status() == QSettings::NoError;
}

bool SettingsStore::WriteDword(const QString& key, std::uint32_t value) {
  return Write(key, QVariant::fromValue<qulonglong>(value));
}

bool SettingsStore::Remove(const QString& key) {
  QSettings store(QSettings::IniFormat, QSettings::UserScope, kOrganisation, kApplication);
  store.remove(key);
  store.sync();
  return store.status() == QSettings::NoError;
}

QString SettingsStore::FilePath() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, kOrganisation, kApplication)
      .fileName();
}

}  // namespace drelin
