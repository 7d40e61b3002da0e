#pragma once

#include <QCoreApplication>

#include <functional>

class QMessageBox;
class QWidget;

// Asks whether a draft may be saved over a text another client saved since it began. The
// question is window-modal but runs no event loop of its own: the caller returns at once, and
// save runs later, only when the user chose Save, so it has to look again at what it saves.
class SaveOverQuestion
{
    Q_DECLARE_TR_FUNCTIONS(SaveOverQuestion)

public:
    static QMessageBox* ask(QWidget* parent, std::function<void()> save);
};
