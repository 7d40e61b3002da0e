#include "TransportCall.h"

#include <utility>

TransportCall::TransportCall(AbortHook abortHook, QObject* parent)
    : QObject(parent), m_abortHook(std::move(abortHook))
{
}

TransportCall::~TransportCall()
{
    abort();
}

void TransportCall::abort()
{
    if (!m_open)
        return;
    m_open = false;
    if (m_abortHook)
        m_abortHook();
}

void TransportCall::deliver(const ApiAnswer& answer)
{
    if (!m_open)
        return;
    m_open = false;
    emit answered(answer);
}
