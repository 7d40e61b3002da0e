#include "DraftsDialog.h"

#include "DraftStore.h"
#include "NotesTableModel.h"
#include "ui_DraftsDialog.h"

#include <QLocale>

DraftsDialog::DraftsDialog(const DraftStore& drafts, const NotesTableModel& model, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::DraftsDialog>()), m_drafts(drafts), m_model(model)
{
    ui->setupUi(this);
    const auto forSelected = [this](void (DraftsDialog::*signal)(const QString&)) {
        return [this, signal]() {
            if (const QString id = selectedNoteId(); !id.isEmpty())
                emit(this->*signal)(id);
        };
    };
    connect(ui->openButton, &QPushButton::clicked, this, forSelected(&DraftsDialog::openRequested));
    connect(ui->addButton, &QPushButton::clicked, this, forSelected(&DraftsDialog::addRequested));
    connect(ui->discardButton, &QPushButton::clicked, this,
            forSelected(&DraftsDialog::discardRequested));
    connect(ui->draftList, &QListWidget::itemActivated, this,
            forSelected(&DraftsDialog::openRequested));
    connect(&drafts, &DraftStore::changed, this, &DraftsDialog::refresh);
    connect(&model, &QAbstractItemModel::modelReset, this, &DraftsDialog::refresh);
    refresh();
}

DraftsDialog::~DraftsDialog() = default;

QListWidget* DraftsDialog::list() const
{
    return ui->draftList;
}

QString DraftsDialog::selectedNoteId() const
{
    const QListWidgetItem* item = ui->draftList->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void DraftsDialog::setAddAllowed(bool allowed, const QString& why)
{
    m_addAllowed = allowed;
    ui->addButton->setToolTip(why);
    refresh();
}

void DraftsDialog::refresh()
{
    const QString selected = selectedNoteId();
    ui->draftList->clear();
    for (const DraftStore::Draft& draft : m_drafts.drafts()) {
        const QString where = m_model.rowOf(draft.noteId) >= 0
                                  ? tr("in the list")
                                  : tr("not in the list (filtered out or deleted)");
        auto* item = new QListWidgetItem(
            tr("%1 (edited %2, %3)")
                .arg(NotesTableModel::firstLine(draft.text),
                     QLocale().toString(draft.changed, QLocale::ShortFormat), where),
            ui->draftList);
        item->setData(Qt::UserRole, draft.noteId);
        if (draft.noteId == selected)
            ui->draftList->setCurrentItem(item);
    }
    if (!ui->draftList->currentItem() && ui->draftList->count() > 0)
        ui->draftList->setCurrentRow(0);
    const bool any = ui->draftList->count() > 0;
    for (QWidget* button : {ui->openButton, ui->addButton, ui->discardButton})
        button->setEnabled(any);
    ui->addButton->setEnabled(any && m_addAllowed);
}
