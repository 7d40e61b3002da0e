#pragma once

#include "Note.h"

#include <QAbstractTableModel>

// The notes table: one row per note, three columns in the order client,
// project, note. The note column shows the text up to its first line break.
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
    void setNotes(const QList<NoteRef>& notes);
    const QList<NoteRef>& notes() const { return m_notes; }

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
    QList<NoteRef> m_notes;
};
