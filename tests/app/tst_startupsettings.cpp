// What the program's start-up settings (app::Program) give the user: Qt's own texts
// in Finnish under any locale (this test runs under LANG=C), and windows that a dock groups
// under the program's launcher.

#include "programfixture.h"

#include "app/program.h"
#include "app/qttranslations.h"
#include "forms/introfrm.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using forms::IntroFrm;

class TestStartupSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nameBoxContextMenu_data();
    void nameBoxContextMenu();
#ifdef AHNEMETRI_DESKTOP_FILE
    void windowClassIsTheLaunchersOwn();
#endif
};

void TestStartupSettings::nameBoxContextMenu_data()
{
    QTest::addColumn<bool>("translationsThere");
    QTest::addColumn<QStringList>("texts");
    // clang-format off
    QTest::newRow("Qt's Finnish texts")
        << true
        << QStringList{"&Kumoa", "&Tee uudelleen", "L&eikkaa", "K&opioi", "&Liitä", "Poista",
                       "Valitse kaikki"};
    QTest::newRow("without Qt's translations")
        << false << QStringList{"&Undo", "&Redo", "Cu&t", "&Copy", "&Paste", "Delete", "Select All"};
    // clang-format on
}

void TestStartupSettings::nameBoxContextMenu()
{
    QFETCH(bool, translationsThere);
    QFETCH(QStringList, texts);

    // Without them the program reads Qt's texts from an empty folder.
    const QTemporaryDir empty;
    if (translationsThere) {
        QVERIFY2(QFileInfo::exists(app::systemQtTranslationsDirectory()
                                   + QStringLiteral("/qtbase_fi.qm")),
                 "Qt's Finnish translation is not installed (package qt6-translations-l10n)");
    }
    // The program starts either way.
    ProgramFixture program(translationsThere ? app::systemQtTranslationsDirectory() : empty.path());
    IntroFrm& intro = program.windows.introFrm();
    QTRY_VERIFY(intro.isActiveWindow());

    // A right click into the name box.
    auto* nameBox = control<QLineEdit>(intro, QStringLiteral("NimiTxt"));
    const QPoint inside(10, nameBox->height() / 2);
    QContextMenuEvent click(QContextMenuEvent::Mouse, inside, nameBox->mapToGlobal(inside));
    QApplication::sendEvent(nameBox, &click);
    QMenu* menu = nullptr;
    QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));

    QStringList shown;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator())
            shown.append(action->text().section(u'\t', 0, 0)); // the shortcut comes after a tab
    }
    QCOMPARE(shown, texts);

    QTest::keyClick(menu, Qt::Key_Escape);
    QTRY_VERIFY(!QApplication::activePopupWidget());
}

#ifdef AHNEMETRI_DESKTOP_FILE
void TestStartupSettings::windowClassIsTheLaunchersOwn()
{
    const app::Program program;
    const QSettings launcher(QStringLiteral(AHNEMETRI_DESKTOP_FILE), QSettings::IniFormat);
    // On X11 the class of every window (WM_CLASS) is the application name; on Wayland the
    // application id is the launcher's name.
    QCOMPARE(launcher.value(QStringLiteral("Desktop Entry/StartupWMClass")).toString(),
             QApplication::applicationName());
    QCOMPARE(QGuiApplication::desktopFileName() + QStringLiteral(".desktop"),
             QFileInfo(QStringLiteral(AHNEMETRI_DESKTOP_FILE)).fileName());
}
#endif

QTEST_MAIN(TestStartupSettings)
#include "tst_startupsettings.moc"
