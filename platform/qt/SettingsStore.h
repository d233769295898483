// SettingsStore: the program's persistent settings (the stand-in for the
// registry). One INI file in the user's configuration folder, organisation
// "Local AppWizard-Generated Applications", application "Tarnova Drelin DBF".
// Every write is synced at once, so a value survives the process ending
// itself right afterwards. Keys are "group/.../name" paths.
#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>
#include <optional>

namespace drelin {

class SettingsStore {
 public:
  static constexpr const char* kOrganisation = "Local AppWizard-Generated Applications";
  static constexpr const char* kApplication = "Tarnova Drelin DBF";

  // The value under `key`, or nothing when it is absent or unreadable.
  static std::optional<QVariant> Read(const QString& key);
  // A 32-bit unsigned value (a "DWORD"); nothing when absent or not a
  // number. A negative value reads as its 32-bit pattern (-1 as 0xFFFFFFFF).
  static std::optional<std::uint32_t> ReadDword(const QString& key);

  // Writes and syncs; false when the file could not be written.
  static bool Write(const QString& key, const QVariant& value);
  static bool WriteDword(const QString& key, std::uint32_t value);

  static bool Remove(const QString& key);

  // Full path of the INI file (for diagnostics and tests).
  static QString FilePath();
};

}  // namespace drelin
