#pragma once

#include "Fault.h"

#include <QList>

#include <optional>

// The injected faults in the order they were added. A request is answered by the first fault
// that matches it, which uses up one of that fault's count.
class FaultQueue
{
public:
    void add(const Fault& fault);
    void clear();
    std::optional<Fault> take(const QString& script, const FormDecoder::Fields& form);

private:
    QList<Fault> m_faults;
};
