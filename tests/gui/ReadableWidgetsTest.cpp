// The shared helpers of the windows: the focus given back when a dialog closes with its outcome
// said there, read-only fields that look it, value labels named by their captions, and where file
// dialogs start.
#include "widgets/Announce.h"
#include "widgets/FileDialogFolder.h"
#include "widgets/FocusReturn.h"
#include "widgets/ReadableForms.h"

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

using namespace brelmont::widgets;

TEST(FocusReturn, TheOpenerGetsTheFocusBackAndHearsWhatAnAcceptedDialogDid) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* opener = new QPushButton(QStringLiteral("Send…"));
    auto* other = new QPushButton(QStringLiteral("Other"));
    layout->addWidget(opener);
    layout->addWidget(other);
    window.show();
    QApplication::setActiveWindow(&window);
    for (const bool accept : {true, false}) {
        opener->setFocus();
        auto* dialog = new QDialog(&window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        returnFocusOnClose(dialog, opener, [] { return QStringLiteral("The file was sent to Office."); });
        dialog->show();
        other->setFocus(); // where the window system might leave it
        accept ? dialog->accept() : dialog->reject();
        EXPECT_TRUE(opener->hasFocus()) << accept;
        EXPECT_EQ(opener->accessibleDescription(), accept ? "The file was sent to Office." : "") << accept;
        other->setFocus(); // leaving gives the button its own description back
        EXPECT_EQ(opener->accessibleDescription(), "");
    }
    {
        opener->setFocus();
        FocusReturn back;
        back.setOutcome(QStringLiteral("Done."));
        other->setFocus();
    }
    EXPECT_TRUE(opener->hasFocus());
    EXPECT_EQ(opener->accessibleDescription(), "Done.");
}

TEST(ReadableForms, ReadOnlyFieldsLookReadOnlyAndValueLabelsAreNamedByTheirCaptions) {
    installReadOnlyLook(*qApp);
    QLineEdit field;
    field.setReadOnly(true);
    EXPECT_EQ(field.palette().color(QPalette::Base), field.palette().color(QPalette::Window));
    field.setReadOnly(false);
    EXPECT_EQ(field.palette().color(QPalette::Base), QApplication::palette(&field).color(QPalette::Base));

    QWidget form;
    auto* caption = new QLabel(QStringLiteral("Cartridge 1 &health:"), &form);
    caption->setObjectName(QStringLiteral("label_m_lbHealth0"));
    auto* value = new QLabel(QStringLiteral("OK"), &form);
    value->setObjectName(QStringLiteral("m_lbHealth0"));
    linkValueLabels(&form);
    EXPECT_EQ(caption->buddy(), value);
    EXPECT_TRUE(value->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(guitest::accessibleName(value), "Cartridge 1 health: OK");
    value->setText(QStringLiteral("Missing"));
    nameValueLabel(value);
    EXPECT_EQ(guitest::accessibleName(value), "Cartridge 1 health: Missing");
}

TEST(FileDialogFolder, StartsInTheDocumentsOrTheLastFolderUsedNeverTheWorkingFolder) {
    guitest::TempDir dir;
    const QString working = QDir::currentPath();
    EXPECT_NE(fileDialogFolder(), working);
    rememberFileDialogChoice(QString::fromStdString((dir.path() / "job.kprn").string()));
    EXPECT_EQ(fileDialogFolder(), QString::fromStdString(dir.path().string()));
    rememberFileDialogChoice(QString()); // a cancelled dialog changes nothing
    EXPECT_EQ(fileDialogFolder(), QString::fromStdString(dir.path().string()));
}
