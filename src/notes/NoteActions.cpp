#include "NoteActions.h"

#include <QAction>
#include <QPushButton>
#include <QWidget>

namespace {
QAction* make(QWidget* owner, const QString& text, const QKeySequence& key)
{
    auto* action = new QAction(text, owner);
    action->setShortcut(key);
    owner->addAction(action);
    return action;
}
} // namespace

NoteActions::NoteActions(QWidget* owner, QWidget* table)
    : search(make(owner, tr("&Search"), QKeySequence(tr("Ctrl+R")))),
      save(make(owner, tr("&Save"), QKeySequence::Save)),
      add(make(owner, tr("&New note"), QKeySequence::New)),
      addToClient(make(owner, tr("New note for the &client"), QKeySequence(tr("Ctrl+Shift+C")))),
      addToProject(make(owner, tr("New note for the &project"), QKeySequence(tr("Ctrl+Shift+P")))),
      addToBoth(make(owner, tr("New note for &both"), QKeySequence(tr("Ctrl+Shift+B")))),
      remove(make(table, tr("&Delete"), QKeySequence::Delete)),
      mail(make(owner, tr("&Mail"), QKeySequence(tr("Ctrl+M")))),
      revert(make(owner, tr("&Revert to the saved text"), QKeySequence())),
      drafts(make(owner, tr("D&rafts…"), QKeySequence())),
      reconnect(make(owner, tr("&Reconnect"), QKeySequence(tr("Ctrl+Shift+R")))),
      forgetCopy(make(owner, tr("&Forget offline copy"), QKeySequence()))
{
    remove->setShortcutContext(Qt::WidgetShortcut);
}

void NoteActions::drive(const QList<std::pair<QPushButton*, QAction*>>& buttons)
{
    for (const auto& [button, action] : buttons) {
        QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
        QObject::connect(action, &QAction::changed, button, [button = button, action = action]() {
            button->setEnabled(action->isEnabled());
        });
    }
}
