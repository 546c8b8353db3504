// Where file dialogs start: the folder last used in this run of the program, else the user's
// documents folder; never the working folder the program happened to be started in.
#pragma once

#include <QString>

class QWidget;

namespace brelmont::widgets {

QString fileDialogFolder();
// Remembers the folder of a file chosen in a dialog (nothing for an empty path: a cancelled dialog).
void rememberFileDialogChoice(const QString& chosenFile);

// The open dialog for one file, started there and remembering the choice; empty when cancelled.
QString askOpenFile(QWidget* parent, const QString& caption);

} // namespace brelmont::widgets
