#pragma once

#include <QDialog>

#include <memory>

class DraftStore;
class NotesTableModel;
class QListWidget;

namespace Ui {
class DraftsDialog;
}

// Every draft of the account, also those whose note the table does not show (filtered out by a
// search, or gone from the server): the user opens one, adds it as a new note, or discards it.
class DraftsDialog : public QDialog
{
    Q_OBJECT
public:
    DraftsDialog(const DraftStore& drafts, const NotesTableModel& model, QWidget* parent);
    ~DraftsDialog() override;

    QListWidget* list() const;
    // The NoteID of the selected draft, or empty.
    QString selectedNoteId() const;
    // Whether a draft can be added as a new note now, and why not.
    void setAddAllowed(bool allowed, const QString& why);

signals:
    void openRequested(const QString& noteId);
    void addRequested(const QString& noteId);
    void discardRequested(const QString& noteId);

private:
    void refresh();

    std::unique_ptr<Ui::DraftsDialog> ui;
    const DraftStore& m_drafts;
    const NotesTableModel& m_model;
    bool m_addAllowed = true;
};
