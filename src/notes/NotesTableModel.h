#pragma once

#include "notes/Note.h"

#include <QAbstractTableModel>

// The notes table: one row per record of the notes list, three columns in the order client,
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

    // The list is owned elsewhere; call reload() whenever it was replaced.
    explicit NotesTableModel(const QList<NoteRef>* notes, QObject* parent = nullptr);

    void reload();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The text before the first line break of any kind (U+000A to U+000D, U+0085, U+2028,
    // U+2029), or the whole text when it has none.
    static QString firstLine(const QString& text);

private:
    const QList<NoteRef>* m_notes;
};
