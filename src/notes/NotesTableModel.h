#pragma once

#include "Note.h"

#include <QAbstractTableModel>
#include <QSet>

// The notes table: one row per note, three columns in the order client, project, note. The rows
// are the notes as the server sent them. The note column shows the text up to its first line
// break; a note with an unsaved draft is marked in it.
class NotesTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        ClientColumn,
        ProjectColumn,
        NoteColumn,
        ColumnCount
    };

    explicit NotesTableModel(QObject* parent = nullptr);

    // Replaces the rows.
    void setNotes(const QList<Note>& notes);
    const QList<Note>& notes() const { return m_notes; }
    const Note& noteAt(int row) const { return m_notes.at(row); }
    // The row of the note with this NoteID, or -1.
    int rowOf(const QString& noteId) const;
    // The notes that have an unsaved draft.
    void setDraftIds(const QSet<QString>& noteIds);
    bool hasDraft(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // A cell shows at most this many characters of a note, then an ellipsis.
    static constexpr int MaxCellCharacters = 300;

    // The text before the first line break of any kind (U+000A to U+000D, U+0085, U+2028,
    // U+2029), or the whole text when it has none; cut at MaxCellCharacters.
    static QString firstLine(const QString& text);

private:
    QList<Note> m_notes;
    QSet<QString> m_draftIds;
};
