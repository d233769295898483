// CommandRouter: the one way every command of the program is carried out.
// Menu items, buttons and shortcuts carry a numeric command id (ResourceIds.h)
// and reach the handler registered for it here, so an item and a button that
// do the same job share one handler. An exception that leaves a handler is
// caught here and shown in the message box with the file and the reason it
// names: a failed command never ends the program.
#pragma once

#include <QKeySequence>
#include <QObject>

#include <exception>
#include <functional>
#include <map>

class QAbstractButton;
class QAction;
class QShortcut;
class QWidget;

namespace drelin {

class CommandRouter : public QObject {
  Q_OBJECT

 public:
  using Handler = std::function<void()>;
  using EnabledQuery = std::function<bool()>;

  explicit CommandRouter(QObject* parent = nullptr) : QObject(parent) {}

  // Registers the handler of `id`, in place of any earlier one.
  void Add(int id, Handler handler);
  // The command-state query of `id`; a command without one is enabled.
  void SetEnabledQuery(int id, EnabledQuery query);

  bool Handles(int id) const { return handlers_.count(id) != 0; }
  bool IsEnabled(int id) const;

  // Runs the handler of `id` when there is one and it is enabled; false
  // otherwise. Whatever it throws is shown, never passed on.
  bool Dispatch(int id);

  // A click of `button` dispatches `id`; the button carries it as its
  // "commandId" property, as menu actions do.
  void Bind(QAbstractButton* button, int id);
  // Triggering `action` dispatches `id`; the action carries the id as its
  // command id (FlatMenu), and is returned.
  QAction* Bind(QAction* action, int id);
  // `keys` pressed while the window of `context` is active dispatch `id`.
  QShortcut* AddShortcut(const QKeySequence& keys, int id, QWidget* context);

 private:
  std::map<int, Handler> handlers_;
  std::map<int, EnabledQuery> queries_;
};

// The message a command's exception gives: a file error names the file and
// the reason, anything else its own text.
QString CommandErrorText(const std::exception& error);

}  // namespace drelin
