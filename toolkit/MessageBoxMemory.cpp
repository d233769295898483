#include "MessageBoxMemory.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "SettingsStore.h"

namespace drelin {

QString RememberedAnswerKey(const MessageBoxParams& params) {
  if (params.moduleName.isEmpty()) return QString();
  const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  const QString name = params.moduleName + QString::number(params.line);
  QString key = QStringLiteral("Software/");
  if (!params.companyName.isEmpty()) key += params.companyName + QLatin1Char('/');
  return key + program + QStringLiteral("/RichMessageBox/") + name;
}

std::optional<int> ReadRememberedAnswer(const MessageBoxParams& params) {
  const QString key = RememberedAnswerKey(params);
  if (key.isEmpty()) return std::nullopt;
  const std::optional<std::uint32_t> value = SettingsStore::ReadDword(key);
  if (!value || *value == 0) return std::nullopt;
  return static_cast<int>(*value);
}

void StoreRememberedAnswer(const MessageBoxParams& params, int result) {
  const QString key = RememberedAnswerKey(params);
  if (!key.isEmpty()) SettingsStore::WriteDword(key, static_cast<std::uint32_t>(result));
}

}  // namespace drelin
