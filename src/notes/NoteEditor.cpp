#include "NoteEditor.h"

#include <QPlainTextEdit>
#include <QTextDocument>

NoteEditor::NoteEditor(QPlainTextEdit* view, QObject* parent) : QObject(parent), m_view(view)
{
    connect(m_view, &QPlainTextEdit::textChanged, this, [this]() {
        if (!m_setting && m_showing)
            emit edited();
    });
    clear();
}

void NoteEditor::show(const QString& text, const QString& lineBreakSource)
{
    m_setting = true;
    m_view->setPlainText(text);
    m_setting = false;
    m_view->setReadOnly(false);
    m_showing = true;
    m_text = text;
    m_rawText = m_view->document()->toRawText();
    m_lineBreak = lineBreakOf(lineBreakSource);
}

void NoteEditor::clear()
{
    m_setting = true;
    m_view->clear();
    m_setting = false;
    m_view->setReadOnly(true);
    m_showing = false;
    m_text.clear();
    m_rawText.clear();
}

QString NoteEditor::text() const
{
    if (!m_showing)
        return {};
    const QString raw = m_view->document()->toRawText();
    return raw == m_rawText ? m_text : fromDocument(raw, m_lineBreak);
}

void NoteEditor::focusToReplace()
{
    m_view->setFocus(Qt::OtherFocusReason);
    m_view->selectAll();
}

QString NoteEditor::lineBreakOf(const QString& text)
{
    return text.contains(QLatin1String("\r\n")) ? QStringLiteral("\r\n") : QStringLiteral("\n");
}

QString NoteEditor::fromDocument(const QString& rawText, const QString& lineBreak)
{
    QString text = rawText;
    return text.replace(QChar::ParagraphSeparator, lineBreak);
}
