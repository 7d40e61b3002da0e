#include "SaveOverQuestion.h"

#include <QAbstractButton>
#include <QMessageBox>

QMessageBox* SaveOverQuestion::ask(QWidget* parent, std::function<void()> save)
{
    auto* box = new QMessageBox(
        QMessageBox::Question, tr("Save over a changed note?"),
        tr("This note was changed on the server after you began your draft. Save your draft "
           "over the server's text?"),
        QMessageBox::Save | QMessageBox::Cancel, parent);
    box->setDefaultButton(QMessageBox::Cancel);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::buttonClicked, box,
                     [box, save = std::move(save)](QAbstractButton* button) {
                         if (box->standardButton(button) == QMessageBox::Save)
                             save();
                     });
    box->open();
    return box;
}
