#include "sendfile/ui/SendFileViewController.h"

#include "sendfile/SendOperation.h"
#include "sendfile/ui/QueueCombo.h"
#include "sendfile/ui/SendWaiting.h"
#include "widgets/FileDialogFolder.h"
#include "widgets/MessageBox.h"
#include "widgets/StatusLine.h"

#include "ui_SendFileWindowController.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace brelmont::sendfile {

namespace {

// What the window starts with: the current folder, so a name must be browsed or typed first.
QUrl noFileChosen() { return QUrl::fromLocalFile(QDir::currentPath() + QLatin1Char('/')); }

// A URL that names a folder, by its form or by what is there.
bool isDirectoryUrl(const QUrl& url) {
    const QString path = url.toLocalFile();
    return path.isEmpty() || path.endsWith(QLatin1Char('/')) || QFileInfo(path).isDir();
}

// The path a typed name stands for: "~" and "~/…" in the home folder, anything else from "/".
QString typedPath(const QString& typed) {
    if (typed == QLatin1String("~") || typed.startsWith(QLatin1String("~/"))) return QDir::homePath() + typed.mid(1);
    return QLatin1Char('/') + typed;
}

} // namespace

SendFileViewController::SendFileViewController(std::vector<printer::PrinterItem> printers, QWidget* parent)
    : QDialog(parent),
      ui(new Ui::SendFileWindowController),
      m_printers(std::move(printers)),
      m_fileurl(noFileChosen()) {
    ui->setupUi(this);
    m_status = widgets::StatusLine::addTo(this);
    setObjectName(QString::fromLatin1(Identifier));
    m_fileName = ui->m_fileName;
    m_comboPrinters = ui->m_comboPrinters;
    m_askFile = [](QWidget* parent) { return widgets::askOpenFile(parent, tr("Send File")); };

    connect(ui->m_buttonBrowse, &QPushButton::clicked, this, &SendFileViewController::browseClick);
    connect(ui->m_buttonSend, &QPushButton::clicked, this, &SendFileViewController::sendClick);
    connect(ui->m_buttonCancel, &QPushButton::clicked, this, &SendFileViewController::dismissClick);
    // A name the user types or changes is the file meant, even after a browse or a name that led
    // nowhere: it is looked up afresh at the next send.
    connect(m_fileName, &QLineEdit::textEdited, this, [this] {
        m_fileurl = noFileChosen();
        m_status->note({});
    });
    viewDidLoad();
}

SendFileViewController::~SendFileViewController() { delete ui; }

void SendFileViewController::viewDidLoad() { fillQueueCombo(m_comboPrinters, sendFileListing(m_printers)); }

void SendFileViewController::browseClick() {
    const QString path = m_askFile(this);
    if (path.isEmpty()) return;
    m_fileurl = QUrl::fromLocalFile(path);
    m_fileName->setText(QFileInfo(path).fileName());
    m_status->note({});
}

bool SendFileViewController::sendClick() {
    const int index = m_comboPrinters->currentIndex();
    if (index < 0) {
        m_status->say(tr("There is no queue to send to."));
        return false;
    }
    if (!m_fileurl.isLocalFile()) return false;
    // The local path, with every escape of the URL form decoded.
    QString path = m_fileurl.toLocalFile();
    if (isDirectoryUrl(m_fileurl)) {
        // Nothing browsed: the typed name is taken from the root folder, and a leading "~" is the
        // home folder, as in a shell.
        m_fileurl = QUrl::fromLocalFile(QDir::cleanPath(typedPath(m_fileName->text())));
        path = m_fileurl.toLocalFile();
        if (isDirectoryUrl(m_fileurl)) {
            m_status->say(tr("Choose a file with Browse, or type its path."));
            return false;
        }
    }
    if (!QFileInfo::exists(path)) {
        m_status->say(tr("There is no file %1.").arg(path));
        return false;
    }
    const std::optional<std::string> queue = queueAt(m_printers, index);
    if (!queue) return false;
    const std::optional<SendOutcome> outcome = sendWaiting(this, QFile::encodeName(path).toStdString(), *queue);
    if (!outcome || !outcome->queued()) return false; // the window stays, the file still chosen
    accept();
    return true;
}

void SendFileViewController::dismissClick() { reject(); }

} // namespace brelmont::sendfile
