#include "FaultQueue.h"

void FaultQueue::add(const Fault& fault)
{
    m_faults.append(fault);
}

void FaultQueue::clear()
{
    m_faults.clear();
}

std::optional<Fault> FaultQueue::take(const QString& script, const FormDecoder::Fields& form)
{
    for (qsizetype i = 0; i < m_faults.size(); ++i) {
        Fault& fault = m_faults[i];
        if (!fault.matches(script, form))
            continue;
        const Fault taken = fault;
        if (fault.count > 0 && --fault.count == 0)
            m_faults.removeAt(i);
        return taken;
    }
    return std::nullopt;
}
