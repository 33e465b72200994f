// The start window's name box (forms::NameBox) as the user meets it in the running program:
// one line whatever is typed, pasted or sent, a cleaned paste as one undo step from Ctrl+V and
// from the box's own menu alike, and the limit of 1000 characters.

#include "programfixture.h"

#include "forms/introfrm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <optional>

class TestNameBox : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void holdsOneLine_data();
    void holdsOneLine();
    void longNamesAreCutAtTheLimit_data();
    void longNamesAreCutAtTheLimit();

private:
    QLineEdit* nameBox()
    {
        return control<QLineEdit>(m_program->windows.introFrm(), QStringLiteral("NimiTxt"));
    }

    std::optional<ProgramFixture> m_program;
};

void TestNameBox::init()
{
    // A program of its own per test: the box starts empty, with no undo history.
    m_program.emplace();
}

void TestNameBox::cleanup()
{
    m_program.reset();
}

void TestNameBox::holdsOneLine_data()
{
    QTest::addColumn<QString>("typed"); // typed before the paste; the cursor stands at "|"
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("alone"); // the name when the text is all there is

    // clang-format off
    QTest::newRow("line break between names")
        << "|" << "Matti\nMeikäläinen" << "Matti Meikäläinen" << 17 << "Matti Meikäläinen";
    QTest::newRow("line break that ends a copied line") << "|" << "Nimi\r\n" << "Nimi" << 4 << "Nimi";
    QTest::newRow("Windows, old Mac and Unix breaks") << "|" << "a\r\nb\rc\nd" << "a b c d" << 7 << "a b c d";
    QTest::newRow("empty lines in between") << "|" << "a\n\n\nb\n\n" << "a   b" << 5 << "a   b";
    QTest::newRow("Unicode line and paragraph separators")
        << "|" << QStringLiteral("x\u2028y\u2029z\u0085") << "x y z" << 5 << "x y z";
    QTest::newRow("paste into the middle") << "Ak|u" << "ank\n" << "Akanku" << 5 << "ank";
    QTest::newRow("tab becomes a blank") << "|" << "Etu\tSuku" << "Etu Suku" << 8 << "Etu Suku";
    QTest::newRow("NUL and other control characters go")
        << "|" << QString::fromUtf16(u"a\0b\u0007c\u001bd\u007fe\u009bf", 11) << "abcdef" << 6 << "abcdef";
    QTest::newRow("direction marks stay")
        << "|" << QStringLiteral("\u202eAbc\u202c") << QStringLiteral("\u202eAbc\u202c") << 5
        << QStringLiteral("\u202eAbc\u202c");
    QTest::newRow("only line breaks") << "Nimi|" << "\r\n\n" << "Nimi" << 4 << "";
    // clang-format on
}

void TestNameBox::holdsOneLine()
{
    QFETCH(QString, typed);
    QFETCH(QString, pasted);
    QFETCH(QString, name);
    QFETCH(int, cursor);
    QFETCH(QString, alone);
    const qsizetype at = typed.indexOf(u'|');
    typed.remove(u'|');
    // The name box's own menu, its "Liitä" found by the shortcut it shows.
    const auto pasteFromMenu = [this] {
        const QPoint inside(10, nameBox()->height() / 2);
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, inside,
                                     nameBox()->mapToGlobal(inside));
        QApplication::sendEvent(nameBox(), &rightClick);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
        const QString key = QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
        for (QAction* action : menu->actions()) {
            if (action->text().section(u'\t', 1) == key)
                action->trigger();
        }
        menu->close();
    };
    // Ctrl+V and the menu take the same way. The cleaned paste is one step of the undo history
    // (none when it adds nothing), and the typing before it another.
    for (const bool fromMenu : {false, true}) {
        QTest::keyClicks(nameBox(), typed);
        nameBox()->setCursorPosition(int(at));
        QGuiApplication::clipboard()->setText(pasted);
        if (fromMenu)
            pasteFromMenu();
        else
            QTest::keyClick(nameBox(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(nameBox()->text(), name);
        QCOMPARE(nameBox()->cursorPosition(), cursor);
        if (name != typed) {
            QTest::keyClick(nameBox(), Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(nameBox()->text(), typed);
        }
        QTest::keyClick(nameBox(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(nameBox()->text(), QString());
    }

    // What an input method sends and what the program sets take the same way into the box.
    nameBox()->clear();
    QInputMethodEvent fromInputMethod;
    fromInputMethod.setCommitString(pasted);
    QApplication::sendEvent(nameBox(), &fromInputMethod);
    QCOMPARE(nameBox()->text(), alone);
    nameBox()->setText(pasted);
    QCOMPARE(nameBox()->text(), alone);
}

void TestNameBox::longNamesAreCutAtTheLimit_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("name");
    const QString thousand = QString(500, u'a') + QString(500, u'b');
    QTest::newRow("a thousand characters fit") << thousand << thousand;
    QTest::newRow("a longer paste is cut") << thousand + QString(39000, u'c') << thousand;
    QTest::newRow("the cut never leaves half a character")
        << QString(999, u'a') + QString::fromUtf8("\U0001F4B0") << QString(999, u'a');
    QTest::newRow("a line break counts as the blank it becomes")
        << QString(500, u'a') + QStringLiteral("\n") + QString(499, u'b') + QStringLiteral("c")
        << QString(500, u'a') + u' ' + QString(499, u'b');
}

void TestNameBox::longNamesAreCutAtTheLimit()
{
    QFETCH(QString, pasted);
    QFETCH(QString, name);
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(nameBox(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(nameBox()->text(), name);
    // At the limit a typed key adds nothing, and the name still goes to the results.
    nameBox()->setText(QString(1000, u'x'));
    QTest::keyClick(nameBox(), Qt::Key_Y);
    QCOMPARE(nameBox()->text(), QString(1000, u'x'));
}

QTEST_MAIN(TestNameBox)
#include "tst_namebox.moc"
