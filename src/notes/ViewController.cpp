#include "ViewController.h"

#include "ClientList.h"
#include "ComboPickList.h"
#include "Console.h"
#include "DataEndpoint.h"
#include "Mail.h"
#include "MemberCenter.h"
#include "NotesFeed.h"
#include "NotesTableModel.h"
#include "ProjectList.h"
#include "ServerContract.h"
#include "ui_ViewController.h"

#include <QHeaderView>
#include <QShowEvent>

namespace {
bool sameTitle(const std::optional<QString>& selected, const QString& name)
{
    return selected && selected->normalized(QString::NormalizationForm_C) ==
                           name.normalized(QString::NormalizationForm_C);
}
} // namespace

ViewController::ViewController(MemberCenter& membercenter, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::ViewController>()), m_membercenter(membercenter),
      m_feed(new NotesFeed(membercenter, this)), m_clientlist(new ClientList(membercenter, this)),
      m_projectlist(new ProjectList(membercenter, this)), m_model(new NotesTableModel(this))
{
    ui->setupUi(this);
    m_clientPopUp = std::make_unique<ComboPickList>(ui->clientPopUpButton);
    m_projectPopUp = std::make_unique<ComboPickList>(ui->projectPopUpButton);
    ui->tableView->setModel(m_model);
    ui->tableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    ui->tableView->setColumnWidth(NotesTableModel::ClientColumn, 180);
    ui->tableView->setColumnWidth(NotesTableModel::ProjectColumn, 180);
    ui->splitter->setStretchFactor(0, 3);
    ui->splitter->setStretchFactor(1, 2);
    connect(m_feed, &NotesFeed::notesReloaded, m_model, &NotesTableModel::setNotes);
    connectControls();
}

ViewController::~ViewController() = default;

void ViewController::connectControls()
{
    connect(ui->tableView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    selectRow(current.row());
            });
    connect(ui->searchButton, &QPushButton::clicked, this, &ViewController::actionSearchNotes);
    for (QLineEdit* field : {ui->clientSearchField, ui->projectSearchField, ui->noteSearchField})
        connect(field, &QLineEdit::returnPressed, this, &ViewController::actionSearchNotes);
    connect(ui->saveButton, &QPushButton::clicked, this, &ViewController::actionSave);
    connect(ui->addButton, &QPushButton::clicked, this, &ViewController::actionAdd);
    connect(ui->addToProjectButton, &QPushButton::clicked, this,
            &ViewController::actionAddToProject);
    connect(ui->addToClientButton, &QPushButton::clicked, this, &ViewController::actionAddToClient);
    connect(ui->addToBothButton, &QPushButton::clicked, this, &ViewController::actionAddToBoth);
    connect(ui->deleteButton, &QPushButton::clicked, this, &ViewController::actionDelete);
    connect(ui->mailButton, &QPushButton::clicked, this, &ViewController::actionMail);
    connect(ui->clientPopUpButton, &QComboBox::activated, this,
            &ViewController::actionSelectClient);
    connect(ui->projectPopUpButton, &QComboBox::activated, this,
            &ViewController::actionSelectProject);
}

const NoteRef& ViewController::note() const
{
    return m_feed->note();
}

QTableView* ViewController::tableView() const
{
    return ui->tableView;
}

QPlainTextEdit* ViewController::noteTextView() const
{
    return ui->noteTextView;
}

QLineEdit* ViewController::clientSearchField() const
{
    return ui->clientSearchField;
}

QLineEdit* ViewController::projectSearchField() const
{
    return ui->projectSearchField;
}

QLineEdit* ViewController::noteSearchField() const
{
    return ui->noteSearchField;
}

void ViewController::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A window coming back from being minimised is not a new appearance.
    if (!event->spontaneous())
        viewDidAppear();
}

void ViewController::viewDidAppear()
{
    Console::print(QLatin1String(AppearedLine));
    // Offline is only reported: the login below fails in its own way if the server is gone.
    m_engine.warnIfOffline();
    if (!m_membercenter.checkSettings()) {
        emit settingsNeeded();
        return;
    }
    // Loading waits for this login, so it never goes out with a session the login replaces.
    m_membercenter.actionLogin([this](bool accepted) {
        if (!accepted)
            return;
        Console::print(QLatin1String(DataEndpoint::LoggedInLine));
        loadListsAndNotes();
    });
}

void ViewController::takeUpSavedSettings()
{
    if (!m_membercenter.isLoggedIn())
        return;
    Console::print(QLatin1String(DataEndpoint::LoggedInLine));
    loadListsAndNotes();
}

// Clients, then projects, then notes; a failed load ends the chain.
void ViewController::loadListsAndNotes()
{
    m_clientlist->actionGetXMLItems(m_clientPopUp.get(), [this](bool filled) {
        if (!filled)
            return;
        m_projectlist->actionGetXMLItems(m_projectPopUp.get(), [this](bool filled) {
            if (!filled)
                return;
            m_feed->actionGetXMLItems();
        });
    });
}

void ViewController::actionSearchNotes()
{
    m_feed->setKeywords(ui->noteSearchField->text(), ui->clientSearchField->text(),
                        ui->projectSearchField->text());
    m_feed->actionGetXMLItems();
}

void ViewController::selectRow(int row)
{
    Console::print(QLatin1String(SelectedRowPrefix) + QString::number(row));
    if (row < 0 || row >= m_model->notes().size())
        return;
    m_feed->setNote(m_model->notes().at(row));
    const Note& current = *m_feed->note();
    ui->noteTextView->setPlainText(current.note);
    if (current.client.isEmpty())
        m_clientPopUp->selectItemAtIndex(0);
    else
        m_clientPopUp->selectItemWithTitle(current.client);
    if (current.project.isEmpty())
        m_projectPopUp->selectItemAtIndex(0);
    else
        m_projectPopUp->selectItemWithTitle(current.project);
}

void ViewController::actionSave()
{
    Note& current = *m_feed->note();
    current.note = ui->noteTextView->toPlainText();
    // With several records of the selected name, the last one wins; the placeholder and a
    // title no record bears leave the note's link as it was.
    const std::optional<QString> client = m_clientPopUp->titleOfSelectedItem();
    for (const auto& record : m_clientlist->clientObjects()) {
        if (sameTitle(client, record->name)) {
            current.client = record->name;
            current.clientId = record->id;
        }
    }
    const std::optional<QString> project = m_projectPopUp->titleOfSelectedItem();
    for (const auto& record : m_projectlist->projectObjects()) {
        if (sameTitle(project, record->name)) {
            current.project = record->name;
            current.projectId = record->id;
        }
    }
    m_feed->actionSaveXMLItem();
}

// A new note starts with the text of one space, tied to the current note's client and project,
// to one of them, or to none. It is built from a copy: the current note and the list entry it
// may share stay as they are, whatever the server answers.
void ViewController::addNote(bool keepClient, bool keepProject)
{
    Note draft = *m_feed->note();
    draft.note = QStringLiteral(" ");
    if (!keepClient)
        draft.clientId = QLatin1String(ServerContract::NoLink);
    if (!keepProject)
        draft.projectId = QLatin1String(ServerContract::NoLink);
    m_feed->actionAddXMLItem(draft);
}

void ViewController::actionAdd()
{
    addNote(false, false);
}

void ViewController::actionAddToProject()
{
    addNote(false, true);
}

void ViewController::actionAddToClient()
{
    addNote(true, false);
}

void ViewController::actionAddToBoth()
{
    addNote(true, true);
}

void ViewController::actionDelete()
{
    m_feed->actionDeleteXMLItem();
}

// Mails the stored text of the current note, not what the editor holds unsaved.
void ViewController::actionMail()
{
    Mail mail;
    mail.subject = m_feed->note()->project;
    mail.message = m_feed->note()->note;
    mail.send();
}

void ViewController::actionSelectClient()
{
    Console::print(QStringLiteral("select client popup button pressed"));
}

void ViewController::actionSelectProject()
{
    Console::print(QStringLiteral("select project popup button pressed"));
}
