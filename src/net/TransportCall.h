#pragma once

#include "ApiAnswer.h"

#include <QObject>

#include <functional>

// One request on the wire. The transport delivers its answer once; aborting it (or destroying
// it) stops the exchange and delivers nothing.
class TransportCall : public QObject
{
    Q_OBJECT
public:
    using AbortHook = std::function<void()>;

    explicit TransportCall(AbortHook abortHook, QObject* parent = nullptr);
    ~TransportCall() override;

    void abort();
    bool isOpen() const { return m_open; }

    // Called by the transport when the answer is complete. Ignored after an abort or a first
    // answer.
    void deliver(const ApiAnswer& answer);

signals:
    void answered(const ApiAnswer& answer);

private:
    AbortHook m_abortHook;
    bool m_open = true;
};
