#include "SelectionAfterReload.h"

#include <QStringList>

#include <algorithm>
#include <utility>

void SelectionAfterReload::addEnded(bool select, const QString& newNoteId,
                                    const QSet<QString>& idsBefore)
{
    quint64 pressedAt = m_edits;
    if (!m_addsPressedAt.empty()) {
        pressedAt = m_addsPressedAt.front();
        m_addsPressedAt.pop_front();
    }
    if (select)
        m_wanted = Wanted{true, newNoteId, idsBefore, pressedAt};
}

void SelectionAfterReload::openDraft(const QString& noteId)
{
    m_wanted = Wanted{false, noteId, {}, m_edits};
}

SelectionAfterReload::Change SelectionAfterReload::decide(const QList<Note>& before,
                                                          const QList<Note>& after,
                                                          const QString& shownId, bool keepsText,
                                                          bool sameSearch, Notice* notice)
{
    *notice = Notice::None;
    Change change;
    const auto has = [&after](const QString& id) {
        return std::ranges::find(after, id, &Note::id) != after.end();
    };
    if (const std::optional<Wanted> wanted = std::exchange(m_wanted, std::nullopt)) {
        QString id = wanted->noteId;
        if (id.isEmpty() && wanted->newNote) {
            QStringList added;
            for (const Note& n : after)
                if (!wanted->idsBefore.contains(n.id) &&
                    std::ranges::find(before, n.id, &Note::id) == before.end())
                    added << n.id;
            if (added.size() == 1)
                id = added.first();
        }
        const bool typedSince = wanted->newNote && m_edits != wanted->editsAtPress;
        if (!typedSince && !id.isEmpty() && has(id)) {
            change.selectId = id;
            change.selectNew = wanted->newNote;
            return change;
        }
        // A new note the rows lack leaves nothing selected, so typing meant for it goes nowhere.
        if (!typedSince && !has(id) && wanted->newNote) {
            *notice = Notice::NewNoteNotListed;
            return change;
        }
        if (!has(id) && !wanted->newNote)
            *notice = Notice::DraftNoteNotListed;
    }
    if (shownId.isEmpty())
        return change;
    if (has(shownId)) {
        change.selectId = shownId;
        return change;
    }
    if (sameSearch && keepsText) {
        change.keepDetached = true;
        *notice = Notice::EditedNoteGone;
    }
    return change;
}
