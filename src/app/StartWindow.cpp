#include "app/StartWindow.h"

#include "widgets/StatusLine.h"

#include "ui_YourCustomVC.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace brelmont::app {

StartWindow::StartWindow(QWidget* parent) : QMainWindow(parent), ui(new Ui::YourCustomVC) {
    auto* content = new QWidget(this);
    ui->setupUi(content);
    setCentralWidget(content);
    widgets::StatusLine::addTo(this); // what the windows opened from here did
    setObjectName(QString::fromLatin1(Identifier));
    setWindowTitle(tr("Brelmont Companion"));
    setAcceptDrops(true);
    connect(ui->m_buttonOpenJob, &QPushButton::clicked, this, &StartWindow::openJobClicked);
    connect(ui->m_buttonSendFile, &QPushButton::clicked, this, &StartWindow::sendFileClicked);
    connect(ui->m_buttonPreferences, &QPushButton::clicked, this, &StartWindow::preferencesClicked);
    connect(ui->m_buttonToolbox, &QPushButton::clicked, this, &StartWindow::toolboxClicked);
    connect(ui->m_buttonFirmware, &QPushButton::clicked, this, &StartWindow::firmwareClicked);
    ui->m_buttonOpenJob->setFocus();
}

StartWindow::~StartWindow() { delete ui; }

QPushButton* StartWindow::openJobButton() const { return ui->m_buttonOpenJob; }
QPushButton* StartWindow::sendFileButton() const { return ui->m_buttonSendFile; }
QPushButton* StartWindow::preferencesButton() const { return ui->m_buttonPreferences; }
QPushButton* StartWindow::toolboxButton() const { return ui->m_buttonToolbox; }
QPushButton* StartWindow::firmwareButton() const { return ui->m_buttonFirmware; }

QStringList StartWindow::droppedFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) files.append(url.toLocalFile());
    return files;
}

void StartWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void StartWindow::dropEvent(QDropEvent* event) {
    const QStringList files = droppedFiles(event->mimeData());
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    emit jobsDropped(files);
}

} // namespace brelmont::app
