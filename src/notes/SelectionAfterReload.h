#pragma once

#include "Note.h"

#include <QList>
#include <QSet>
#include <QString>

#include <deque>
#include <optional>

// What the notes view selects when the rows are replaced: the note it showed, found again by
// NoteID; a note just added, unless the user typed since pressing New; the note of a draft the
// user asked for; and a note being edited that is gone from the same list stays in the editor.
class SelectionAfterReload
{
public:
    // What the view does with its selection.
    struct Change
    {
        QString selectId;          // the note to show, if it is among the rows; else none
        bool selectNew = false;    // a note the user just added: its text is selected to type over
        bool keepDetached = false; // the note shown is gone but holds unsaved text: it stays
    };
    // What the user should be told about the change.
    enum class Notice
    {
        None,
        NewNoteNotListed,   // the note just added is not among the rows
        DraftNoteNotListed, // the note of the draft asked for is not among the rows
        EditedNoteGone,     // the note being edited is gone from the list
    };

    // The user changed the text of a note.
    void typed() { ++m_edits; }
    // New was pressed; its answer comes in the order of the presses.
    void addPressed() { m_addsPressedAt.push_back(m_edits); }
    // The answer to the earliest add: a success selects the new note (named by the server, or
    // else the one note the next rows bring that idsBefore lacked) after the next reload.
    void addEnded(bool select, const QString& newNoteId, const QSet<QString>& idsBefore);
    // The next reload selects the note of this draft.
    void openDraft(const QString& noteId);
    // The next reload keeps the selection as it is.
    void forget() { m_wanted.reset(); }

    // before and after are the rows; shownId is the note the editor shows (empty: none), and
    // keepsText whether it holds text the user has not saved.
    Change decide(const QList<Note>& before, const QList<Note>& after, const QString& shownId,
                  bool keepsText, bool sameSearch, Notice* notice);

private:
    struct Wanted
    {
        bool newNote = false;
        QString noteId;          // known id, or empty for a new note the server did not name
        QSet<QString> idsBefore; // the rows before a new note's reload
        quint64 editsAtPress = 0;
    };

    // Counts the user's edits, so an add's reload knows whether the user typed since.
    quint64 m_edits = 0;
    // Adds waiting for their answer: the edit count when New was pressed.
    std::deque<quint64> m_addsPressedAt;
    std::optional<Wanted> m_wanted;
};
