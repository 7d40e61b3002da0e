#pragma once

#include <QCoreApplication>

#include <QList>

#include <utility>

class QAction;
class QPushButton;
class QWidget;

// The note actions of the main window, for menus and buttons alike, with their texts and keys.
// Delete acts only while the table has the focus, so the key keeps its ordinary meaning in the
// editor and the search fields.
struct NoteActions
{
    Q_DECLARE_TR_FUNCTIONS(NoteActions)

public:
    NoteActions(QWidget* owner, QWidget* table);

    // Each button is its action: pressed, it triggers it; it is enabled when the action is.
    static void drive(const QList<std::pair<QPushButton*, QAction*>>& buttons);

    QAction* search;
    QAction* save;
    QAction* add;
    QAction* addToClient;
    QAction* addToProject;
    QAction* addToBoth;
    QAction* remove;
    QAction* mail;
    QAction* revert;
    QAction* drafts;
    QAction* reconnect;
    QAction* forgetCopy;
};
