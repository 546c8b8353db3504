#include "app/DocumentController.h"

#include "viewer/window/ViewController.h"
#include "viewer/window/WindowController.h"
#include "widgets/FileDialogFolder.h"
#include "widgets/Logging.h"
#include "widgets/MessageBox.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <sstream>

namespace brelmont::app {

using widgets::MessageBox;

namespace {

QString canonical(const QString& path) {
    const QFileInfo info(path);
    const QString c = info.canonicalFilePath();
    return c.isEmpty() ? info.absoluteFilePath() : c;
}

QString jobFilter() { return DocumentController::tr("Print jobs (*.kprn);;All files (*)"); }

} // namespace

DocumentController::DocumentController(QObject* parent) : QObject(parent) {
    m_askOpenPaths = [](QWidget* parent) {
        const QStringList paths = QFileDialog::getOpenFileNames(parent, tr("Open Job"), widgets::fileDialogFolder(), jobFilter());
        if (!paths.isEmpty()) widgets::rememberFileDialogChoice(paths.first());
        return paths;
    };
    m_askSavePath = [](QWidget* parent, const QString& proposed) {
        const QString path = QFileDialog::getSaveFileName(parent, tr("Save Job"), proposed, jobFilter());
        widgets::rememberFileDialogChoice(path);
        return path;
    };
}

DocumentController::~DocumentController() {
    const QList<viewer::WindowController*> open = m_windows;
    for (viewer::WindowController* window : open) delete window;
}

QList<viewer::WindowController*> DocumentController::windows() const { return m_windows; }

viewer::WindowController* DocumentController::openDocument(const QString& path) {
    const QString key = canonical(path);
    for (viewer::WindowController* window : windows()) {
        if (canonical(QString::fromStdString(window->document()->m_fileURL.string())) == key) {
            window->show();
            window->raise();
            window->activateWindow();
            return window;
        }
    }

    auto document = std::make_shared<job::Document>();
    std::string readError;
    std::ostringstream diagnostics; // the decoder's lines go to the log, never to standard output
    const auto refused = document->readFromFile(path.toStdString(), diagnostics, readError);
    for (const QString& line : QString::fromStdString(diagnostics.str()).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        qCInfo(lcApp, "%s: %s", qUtf8Printable(path), qUtf8Printable(line));
    const QString name = QFileInfo(path).fileName();
    if (!readError.empty()) {
        MessageBox::show(tr("The job \u201c%1\u201d could not be opened: %2").arg(name, QString::fromStdString(readError)));
        return nullptr;
    }
    if (refused) {
        MessageBox::show(
            tr("The job \u201c%1\u201d could not be opened. %2").arg(name, QString::fromStdString(refused->message())));
        return nullptr;
    }
    viewer::WindowController* window = makeWindowControllers(std::move(document));
    if (window) {
        window->show();
        window->raise();
        window->activateWindow();
    }
    return window;
}

void DocumentController::openDocuments(const QStringList& paths) {
    for (const QString& path : paths) openDocument(path);
}

viewer::WindowController* DocumentController::makeWindowControllers(std::shared_ptr<job::Document> document) {
    if (!document || document->m_printerType == 0) return nullptr;
    auto* window = new viewer::WindowController(std::move(document));
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_windows.append(window);
    connect(window, &QObject::destroyed, this, [this](QObject* gone) {
        m_windows.removeIf([gone](viewer::WindowController* w) { return static_cast<QObject*>(w) == gone; });
    });
    connect(window->viewController(), &viewer::ViewController::sendJobRequested, window, [this, window] {
        if (m_presentSendJob) m_presentSendJob(window);
    });
    emit windowOpened(window);
    return window;
}

void DocumentController::openDocumentClick(QWidget* parent) { openDocuments(m_askOpenPaths(parent)); }

bool DocumentController::saveDocument(viewer::WindowController* window) {
    if (!window || !window->document() || !window->document()->m_prnData) return false;
    const job::Document& document = *window->document();
    const QString original = QString::fromStdString(document.m_fileURL.string());
    const QString proposed = original.isEmpty() ? QString() : QFileInfo(original).fileName();
    const QString startAt = original.isEmpty() ? widgets::fileDialogFolder() : QFileInfo(original).dir().filePath(proposed);
    const QString target = m_askSavePath(window, startAt);
    if (target.isEmpty()) return false;
    // A failed write is shown: a user who saved must not believe the job is on disk.
    const std::string error = document.writeJobTo(target.toStdString());
    if (!error.empty()) {
        MessageBox::show(tr("The job could not be saved: %1").arg(QString::fromStdString(error)));
        return false;
    }
    return true;
}

} // namespace brelmont::app
