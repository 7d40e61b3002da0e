#include "NotesTableModel.h"

NotesTableModel::NotesTableModel(QObject* parent) : QAbstractTableModel(parent) {}

#include <QFont>
#include <QIcon>

void NotesTableModel::setNotes(const QList<Note>& notes)
{
    beginResetModel();
    m_notes = notes;
    endResetModel();
}

int NotesTableModel::rowOf(const QString& noteId) const
{
    for (int row = 0; row < m_notes.size(); ++row)
        if (m_notes.at(row).id == noteId)
            return row;
    return -1;
}

void NotesTableModel::setDraftIds(const QSet<QString>& noteIds)
{
    if (noteIds == m_draftIds)
        return;
    m_draftIds = noteIds;
    if (!m_notes.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

bool NotesTableModel::hasDraft(int row) const
{
    return row >= 0 && row < m_notes.size() && m_draftIds.contains(m_notes.at(row).id);
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
    const Note& note = m_notes.at(index.row());
    const bool draft = index.column() == NoteColumn && m_draftIds.contains(note.id);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: {
        QString text;
        if (index.column() == ClientColumn)
            text = note.client;
        else if (index.column() == ProjectColumn)
            text = note.project;
        else if (index.column() == NoteColumn)
            text = firstLine(note.note);
        if (draft && role == Qt::AccessibleTextRole)
            return tr("%1, unsaved draft").arg(text);
        return text;
    }
    case Qt::ToolTipRole: {
        QStringList tip;
        if (index.column() == NoteColumn && !note.dateTimeCreate.isEmpty())
            tip << tr("Created %1").arg(note.dateTimeCreate);
        if (draft)
            tip << tr("Unsaved draft: select the note to see it, Save to store it");
        return tip.isEmpty() ? QVariant() : QVariant(tip.join(u'\n'));
    }
    case Qt::DecorationRole:
        return draft ? QVariant(QIcon::fromTheme(QStringLiteral("document-edit"))) : QVariant();
    case Qt::FontRole:
        if (draft) {
            QFont italic;
            italic.setItalic(true);
            return italic;
        }
        return {};
    default:
        return {};
    }
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
