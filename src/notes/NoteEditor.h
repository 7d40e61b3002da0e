#pragma once

#include <QObject>
#include <QString>

class QPlainTextEdit;

// The editor of the selected note. It gives back exactly the text the user sees: an untouched
// text as it was shown, byte for byte; an edited one without the conversions of
// QPlainTextEdit::toPlainText() (no-break spaces and line separators stay as typed) and with the
// note's own line break, CRLF when the note came with CRLF, else LF. With no note it is empty and
// read-only.
class NoteEditor : public QObject
{
    Q_OBJECT
public:
    explicit NoteEditor(QPlainTextEdit* view, QObject* parent = nullptr);

    // Shows a text to edit; lineBreakSource is the server's text of the note, whose line break
    // an edited text takes.
    void show(const QString& text, const QString& lineBreakSource);
    // No note: empty and read-only.
    void clear();
    bool isShowing() const { return m_showing; }
    // The text as the user sees it; equal to the shown text until the user changes it.
    QString text() const;
    // Gives the editor the keyboard focus with its whole text selected, so typing replaces it.
    void focusToReplace();

    // "\r\n" when the text holds CRLF, else "\n".
    static QString lineBreakOf(const QString& text);
    // A text read from the editor's document without conversion: its paragraph separators become
    // the line break, nothing else changes.
    static QString fromDocument(const QString& rawText, const QString& lineBreak);

signals:
    // The user changed the text.
    void edited();

private:
    QPlainTextEdit* m_view;
    bool m_showing = false;
    bool m_setting = false;
    QString m_text;      // what show() was given
    QString m_rawText;   // the document's text right after show()
    QString m_lineBreak; // of the note on the server
};
