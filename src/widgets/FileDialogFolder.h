// Where file dialogs start: the folder last used in this run of the program, else the user's
// documents folder; never the working folder the program happened to be started in.
#pragma once

#include <QString>

namespace brelmont::widgets {

QString fileDialogFolder();
// Remembers the folder of a file chosen in a dialog (nothing for an empty path: a cancelled dialog).
void rememberFileDialogChoice(const QString& chosenFile);

} // namespace brelmont::widgets
