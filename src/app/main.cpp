// brelmont-companion [JOB.kprn …]: the desktop application; jobs named on the command line open
// in viewer windows after the launch sequence.
#include "app/AppDelegate.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Brelmont"));
    QApplication::setApplicationName(QStringLiteral("Brelmont Companion"));
    QApplication::setApplicationDisplayName(QStringLiteral("Brelmont Companion"));
    QApplication::setDesktopFileName(QStringLiteral("brelmont-companion"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Views embosser print jobs and looks after the embossers."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("jobs"), QCoreApplication::translate("main", "Print jobs (.kprn) to open."),
                                 QStringLiteral("[JOB…]"));
    parser.process(application);

    brelmont::app::AppDelegate delegate(brelmont::app::SharedFolder::fromEnvironment());
    delegate.applicationDidFinishLaunching();
    delegate.documents().openDocuments(parser.positionalArguments());
    const int status = application.exec();
    delegate.applicationWillTerminate();
    return status;
}
