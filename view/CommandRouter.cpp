#include "CommandRouter.h"

#include <QAbstractButton>
#include <QAction>
#include <QShortcut>
#include <QWidget>

#include "FileError.h"
#include "FlatMenu.h"
#include "MarkupTokenizer.h"
#include "MessageBoxParams.h"
#include "RichMessageBox.h"

namespace drelin {

namespace {

void ShowCommandError(const QString& text) {
  ShowMessage(EscapeMarkup(text), mb::kOk | mb::kIconExclamation);
}

}  // namespace

QString CommandErrorText(const std::exception& error) {
  if (const auto* fileError = dynamic_cast<const FileError*>(&error)) {
    return QStringLiteral("File: %1\nReason: %2")
        .arg(QString::fromStdString(fileError->path()), QString::fromStdString(fileError->reason()));
  }
  return QString::fromStdString(error.what());
}

void CommandRouter::Add(int id, Handler handler) { handlers_[id] = std::move(handler); }

void CommandRouter::SetEnabledQuery(int id, EnabledQuery query) { queries_[id] = std::move(query); }

bool CommandRouter::IsEnabled(int id) const {
  const auto query = queries_.find(id);
  return query == queries_.end() || !query->second || query->second();
}

bool CommandRouter::Dispatch(int id) {
  const auto found = handlers_.find(id);
  if (found == handlers_.end() || !IsEnabled(id)) return false;
  // A copy: the handler may register commands while it runs.
  const Handler handler = found->second;
  try {
    handler();
  } catch (const std::exception& error) {
    ShowCommandError(CommandErrorText(error));
  } catch (...) {
    ShowCommandError(QStringLiteral("The command ended with an unknown error."));
  }
  return true;
}

void CommandRouter::Bind(QAbstractButton* button, int id) {
  button->setProperty(FlatMenu::kCommandIdProperty, id);
  connect(button, &QAbstractButton::clicked, this, [this, id] { Dispatch(id); });
}

QAction* CommandRouter::Bind(QAction* action, int id) {
  FlatMenu::SetCommandId(action, id);
  connect(action, &QAction::triggered, this, [this, id] { Dispatch(id); });
  return action;
}

QShortcut* CommandRouter::AddShortcut(const QKeySequence& keys, int id, QWidget* context) {
  auto* shortcut = new QShortcut(keys, context);
  shortcut->setContext(Qt::WindowShortcut);
  connect(shortcut, &QShortcut::activated, this, [this, id] { Dispatch(id); });
  return shortcut;
}

}  // namespace drelin
