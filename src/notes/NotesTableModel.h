#pragma once

#include "Note.h"

#include <QAbstractTableModel>
#include <QSet>

class QTableView;

// The notes table: one row per note, columns client, project, note and creation time. The rows
// are the notes as the server sent them, in the server's order or sorted by a column; a sort
// moves the rows without losing the selection. The note column shows the text up to its first
// line break and a sign when more follows; a note with an unsaved draft is marked in it.
class NotesTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column
    {
        ClientColumn,
        ProjectColumn,
        NoteColumn,
        CreatedColumn,
        ColumnCount
    };

    explicit NotesTableModel(QObject* parent = nullptr);

    // Shows the rows in a table: fixed column widths, so no row is measured; Tab moves on
    // instead of from cell to cell; a click on a header sorts, and the first load keeps the
    // server's order.
    void setUpView(QTableView* table);

    // Replaces the rows, sorted as the table is.
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
    // Sorts by a column; -1 restores the server's order. Texts compare as the locale sorts them,
    // times by the time they name (unreadable ones first).
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // A cell shows at most this many characters of a note, then an ellipsis.
    static constexpr int MaxCellCharacters = 300;
    // A tooltip shows at most this many characters of a note.
    static constexpr int MaxToolTipCharacters = 2000;

    // The text before the first line break of any kind (U+000A to U+000D, U+0085, U+2028,
    // U+2029), or the whole text when it has none; cut at MaxCellCharacters.
    static QString firstLine(const QString& text);
    // The first line that holds text (blank lines before it passed over), followed by " …" when
    // more text follows it.
    static QString cellText(const QString& text);

private:
    QList<int> sortedOrder(const QList<Note>& notes) const;

    QList<Note> m_notes;
    QSet<QString> m_draftIds;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
