#include "NotesTableModel.h"

#include "NoteDate.h"

#include <QCollator>
#include <QFont>
#include <QHeaderView>
#include <QIcon>
#include <QLocale>
#include <QTableView>

#include <algorithm>
#include <numeric>

namespace {
bool isLineBreak(char16_t c)
{
    return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}
} // namespace

void NotesTableModel::setUpView(QTableView* table)
{
    table->setModel(this);
    table->setTabKeyNavigation(false);
    table->setWordWrap(false);
    table->setTextElideMode(Qt::ElideRight);
    QHeaderView* header = table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(NoteColumn, QHeaderView::Stretch);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    header->setSortIndicatorShown(true);
    table->setSortingEnabled(true);
    table->setColumnWidth(ClientColumn, 170);
    table->setColumnWidth(ProjectColumn, 170);
    table->setColumnWidth(CreatedColumn, 130);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

NotesTableModel::NotesTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void NotesTableModel::setNotes(const QList<Note>& notes)
{
    beginResetModel();
    if (m_sortColumn < 0) {
        m_notes = notes;
    } else {
        m_notes.clear();
        m_notes.reserve(notes.size());
        for (int row : sortedOrder(notes))
            m_notes.append(notes.at(row));
    }
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
    const std::optional<NoteDate::Local> created =
        index.column() == CreatedColumn ? NoteDate::read(note.createdText) : std::nullopt;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: {
        QString text;
        if (index.column() == ClientColumn)
            text = note.client;
        else if (index.column() == ProjectColumn)
            text = note.project;
        else if (index.column() == NoteColumn)
            text = cellText(note.note);
        else if (created)
            text =
                QLocale().toString(QDateTime(created->date, created->time), QLocale::ShortFormat);
        if (draft && role == Qt::AccessibleTextRole)
            return tr("%1, unsaved draft").arg(text);
        return text;
    }
    case Qt::ToolTipRole: {
        QString tip;
        if (index.column() == ClientColumn)
            tip = note.client;
        else if (index.column() == ProjectColumn)
            tip = note.project;
        else if (index.column() == NoteColumn)
            tip = note.note.size() > MaxToolTipCharacters
                      ? note.note.left(MaxToolTipCharacters) + QChar(0x2026)
                      : note.note;
        else if (!created && !note.createdText.isEmpty())
            tip = tr("The server's time stamp cannot be read: %1")
                      .arg(note.createdText.left(MaxCellCharacters));
        if (draft)
            tip += tr("\n\nUnsaved draft: select the note to see it, Save to store it.");
        return tip.isEmpty() ? QVariant() : QVariant(tip);
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
    case CreatedColumn:
        return tr("Created");
    default:
        return {};
    }
}

void NotesTableModel::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column >= 0 && column < ColumnCount ? column : -1;
    m_sortOrder = order;
    if (m_sortColumn < 0)
        return; // the next reload brings the server's order
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QList<int> order_ = sortedOrder(m_notes);
    QList<Note> sorted;
    sorted.reserve(m_notes.size());
    QList<int> newRowOf(m_notes.size());
    for (int row = 0; row < order_.size(); ++row) {
        sorted.append(m_notes.at(order_.at(row)));
        newRowOf[order_.at(row)] = row;
    }
    m_notes = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(this->index(newRowOf.at(index.row()), index.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// A stable sort on keys computed once per row: collation keys for texts, wall-clock seconds for
// times.
QList<int> NotesTableModel::sortedOrder(const QList<Note>& notes) const
{
    QList<int> rows(notes.size());
    std::iota(rows.begin(), rows.end(), 0);
    const bool descending = m_sortOrder == Qt::DescendingOrder;
    if (m_sortColumn == CreatedColumn) {
        QList<qint64> keys;
        keys.reserve(notes.size());
        for (const Note& note : notes)
            keys.append(NoteDate::sortKey(note.createdText));
        std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
            return descending ? keys.at(b) < keys.at(a) : keys.at(a) < keys.at(b);
        });
        return rows;
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(notes.size());
    for (const Note& note : notes)
        keys.push_back(collator.sortKey(m_sortColumn == ClientColumn    ? note.client
                                        : m_sortColumn == ProjectColumn ? note.project
                                                                        : firstLine(note.note)));
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        return descending ? keys[b].compare(keys[a]) < 0 : keys[a].compare(keys[b]) < 0;
    });
    return rows;
}

// Looks no further than the cell can show, so a note of many megabytes costs no more to paint
// than a short one.
QString NotesTableModel::firstLine(const QString& text)
{
    const qsizetype end = qMin(text.size(), qsizetype(MaxCellCharacters));
    for (qsizetype i = 0; i < end; ++i)
        if (isLineBreak(text[i].unicode()))
            return text.left(i);
    return end < text.size() ? text.left(end) + QChar(0x2026) : text;
}

QString NotesTableModel::cellText(const QString& text)
{
    // Blank lines before the first line that holds text are passed over.
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size() && text[i].isSpace(); ++i)
        if (isLineBreak(text[i].unicode()))
            start = i + 1;
    if (start == text.size())
        start = 0; // nothing but blanks: the first line, as it is
    const QString first = firstLine(text.mid(start, MaxCellCharacters + 1));
    const qsizetype after = start + first.size();
    if (after >= text.size() || first.endsWith(QChar(0x2026)))
        return first;
    // Only white space after the first line is nothing to show.
    for (qsizetype i = after; i < text.size(); ++i)
        if (!text[i].isSpace())
            return first + QStringLiteral(" \u2026");
    return first;
}
