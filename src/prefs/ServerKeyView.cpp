#include "ServerKeyView.h"

#include "ServerTrust.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ServerKeyView::ServerKeyView(ServerTrust& trust, QWidget* parent)
    : QWidget(parent), m_trust(trust), m_description(new QLabel(this)),
      m_trustButton(new QPushButton(tr("&Trust the new key"), this))
{
    setObjectName(QStringLiteral("serverKeyView"));
    m_description->setObjectName(QStringLiteral("serverKeyDescription"));
    m_description->setWordWrap(true);
    m_description->setTextFormat(Qt::PlainText);
    m_description->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_trustButton->setObjectName(QStringLiteral("trustNewKeyButton"));
    m_trustButton->setAccessibleName(tr("Trust the new key"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_description);
    layout->addWidget(m_trustButton, 0, Qt::AlignLeft);
    connect(m_trustButton, &QPushButton::clicked, &m_trust, &ServerTrust::trustPresentedKey);
    connect(&m_trust, &ServerTrust::refusalChanged, this, &ServerKeyView::refresh);
    refresh();
}

void ServerKeyView::refresh()
{
    const auto& refusal = m_trust.refusal();
    setVisible(refusal.has_value());
    if (!refusal)
        return;
    const QString trusted = refusal->trusted.kind == ServerTrust::Record::Kind::Key
                                ? tr("Trusted key: %1").arg(refusal->trusted.key)
                                : tr("Trusted: certificates the system CAs verify (last key %1)")
                                      .arg(refusal->trusted.key);
    m_description->setText(tr("The connection to %1 was refused: the server presented a key the "
                              "client does not trust, and nothing was sent to it.\n%2\nPresented "
                              "key: %3\nTrust the new key only if the server's administrator "
                              "confirms it.")
                               .arg(refusal->server, trusted, refusal->presentedKey));
}
