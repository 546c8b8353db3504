#include "widgets/FileDialogFolder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace brelmont::widgets {

namespace {

QString& lastFolder() {
    static QString folder;
    return folder;
}

} // namespace

QString fileDialogFolder() {
    if (!lastFolder().isEmpty() && QFileInfo(lastFolder()).isDir()) return lastFolder();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void rememberFileDialogChoice(const QString& chosenFile) {
    if (!chosenFile.isEmpty()) lastFolder() = QFileInfo(chosenFile).absolutePath();
}

QString askOpenFile(QWidget* parent, const QString& caption) {
    const QString path = QFileDialog::getOpenFileName(parent, caption, fileDialogFolder());
    rememberFileDialogChoice(path);
    return path;
}

} // namespace brelmont::widgets
