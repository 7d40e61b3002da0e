#include "NotesTableModel.h"

NotesTableModel::NotesTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void NotesTableModel::setNotes(const QList<NoteRef>& notes)
{
    beginResetModel();
    m_notes = notes;
    endResetModel();
}

int NotesTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_notes.size());
}

int NotesTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant NotesTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_notes.size())
        return {};
    const Note& note = *m_notes.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        switch (index.column()) {
        case ClientColumn:
            return note.client;
        case ProjectColumn:
            return note.project;
        case NoteColumn:
            return firstLine(note.note);
        default:
            return {};
        }
    }
    if (role == Qt::ToolTipRole && index.column() == NoteColumn && !note.dateTimeCreate.isEmpty())
        return tr("Created %1").arg(note.dateTimeCreate);
    return {};
}

QVariant NotesTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case ClientColumn:
        return tr("Client");
    case ProjectColumn:
        return tr("Project");
    case NoteColumn:
        return tr("Note");
    default:
        return {};
    }
}

// Looks no further than the cell can show, so a note of many megabytes costs no more to paint
// than a short one.
QString NotesTableModel::firstLine(const QString& text)
{
    const qsizetype end = qMin(text.size(), qsizetype(MaxCellCharacters));
    for (qsizetype i = 0; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if ((c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029)
            return text.left(i);
    }
    return end < text.size() ? text.left(end) + QChar(0x2026) : text;
}
