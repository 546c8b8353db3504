#include "viewer/window/BrailleExport.h"

#include "job/ReplaceFile.h"
#include "viewer/braille/BrfExport.h"
#include "widgets/FileDialogFolder.h"
#include "widgets/MessageBox.h"
#include "widgets/StatusLine.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QWidget>

namespace brelmont::viewer {

namespace {

QString lines(const std::vector<std::string>& sentences) {
    QStringList list;
    for (const std::string& sentence : sentences) list << QString::fromStdString(sentence);
    return list.join(QLatin1Char('\n'));
}

} // namespace

AskExportPath fileDialogExportPath() {
    return [](QWidget* parent, const QString& proposed) {
        return QFileDialog::getSaveFileName(parent, QObject::tr("Export Braille"), proposed,
                                            QObject::tr("Braille files (*.brf);;All files (*)"));
    };
}

bool exportBraille(QWidget* window, const job::Document& document, const AskExportPath& askPath) {
    const QString job = QString::fromStdString(document.m_fileURL.string());
    const QString name = (job.isEmpty() ? QStringLiteral("braille") : QFileInfo(job).completeBaseName()) + QStringLiteral(".brf");
    const QString path = askPath(window, QDir(widgets::fileDialogFolder()).filePath(name));
    if (path.isEmpty()) return false;
    widgets::rememberFileDialogChoice(path);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const BrfExport brf = exportBrf(document.m_embPages);
    const std::string written = brf.failure.empty() && brf.pagesWritten > 0
                                    ? job::replaceFile(path.toStdString(), brf.text.data(), brf.text.size())
                                    : std::string();
    QApplication::restoreOverrideCursor();

    const QString leftOut = lines(brf.leftOut);
    if (!brf.failure.empty()) {
        widgets::MessageBox::show(QObject::tr("The braille was not exported: %1").arg(QString::fromStdString(brf.failure)));
        return false;
    }
    if (brf.pagesWritten == 0) {
        widgets::MessageBox::show(
            QObject::tr("Nothing was exported: no emboss page of the job is 6-dot braille.\n\n%1").arg(leftOut));
        return false;
    }
    if (!written.empty()) {
        widgets::MessageBox::show(QObject::tr("The braille could not be written: %1").arg(QString::fromStdString(written)));
        return false;
    }
    const QString pages = brf.pagesWritten == 1 ? QObject::tr("1 page") : QObject::tr("%1 pages").arg(brf.pagesWritten);
    const QString done = QObject::tr("%1 of braille written to %2.").arg(pages, QFileInfo(path).fileName());
    if (!leftOut.isEmpty()) widgets::MessageBox::show(done + QStringLiteral("\n\n") + leftOut);
    else widgets::sayInWindow(window, done);
    return true;
}

} // namespace brelmont::viewer
