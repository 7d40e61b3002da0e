#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class ServerTrust;

// Why the last connection to a server was refused: the key the client trusts and the key the
// server presented, with one explicit choice, "Trust the new key", which replaces the server's
// record. Hidden while nothing was refused.
class ServerKeyView : public QWidget
{
    Q_OBJECT
public:
    explicit ServerKeyView(ServerTrust& trust, QWidget* parent = nullptr);

    QLabel* descriptionLabel() const { return m_description; }
    QPushButton* trustButton() const { return m_trustButton; }

private:
    void refresh();

    ServerTrust& m_trust;
    QLabel* m_description;
    QPushButton* m_trustButton;
};
