// What a screen reader gets from the program: every window is read through Qt's accessibility
// interfaces only, the way an assistive technology walks it, from the window down.

#include "programfixture.h"
#include "textrecord.h"

#include "eval/evaluation.h"
#include "forms/accessibility.h"
#include "forms/introfrm.h"
#include "forms/kysymysfrm.h"
#include "forms/statusfrm.h"
#include "forms/tietoafrm.h"
#include "quiz/catalogue.h"
#include "version.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QWindow>

#include <optional>

using forms::IntroFrm;
using forms::KysymysFrm;
using forms::StatusFrm;

Q_DECLARE_METATYPE(QAccessible::Role)

namespace {

// Every accessible object below `root` (itself included), depth first, in the tree's order.
QList<QAccessibleInterface*> accessibleTree(QAccessibleInterface* root)
{
    QList<QAccessibleInterface*> all;
    if (!root)
        return all;
    all.append(root);
    for (int i = 0; i < root->childCount(); ++i)
        all.append(accessibleTree(root->child(i)));
    return all;
}

QList<QAccessibleInterface*> accessibleTree(QWidget& window)
{
    return accessibleTree(QAccessible::queryAccessibleInterface(&window));
}

// The accessible object of the named control, found by walking down from the window, so that
// only what an assistive technology can reach is found.
QAccessibleInterface* reachableByName(QWidget& window, const QString& objectName)
{
    if (window.objectName() == objectName)
        return QAccessible::queryAccessibleInterface(&window);
    for (QAccessibleInterface* item : accessibleTree(window)) {
        if (item->object() && item->object()->objectName() == objectName)
            return item;
    }
    return nullptr;
}

QString nameOf(QAccessibleInterface* item)
{
    return item->text(QAccessible::Name);
}

bool isShown(QAccessibleInterface* item)
{
    return !item->state().invisible;
}

// The objectNames of the controls that are shown and take the keyboard focus, in tree order.
QStringList shownFocusable(QWidget& window)
{
    QStringList names;
    for (QAccessibleInterface* item : accessibleTree(window)) {
        if (isShown(item) && item->state().focusable)
            names.append(item->object() ? item->object()->objectName() : QStringLiteral("?"));
    }
    return names;
}

QString withoutAccessKey(QStringView caption)
{
    return caption.toString().remove(u'&');
}

// The notification that reads out what changed in a control, or null.
QAccessibleInterface* noticeOf(QWidget* control)
{
    for (QObject* child : control->children()) {
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(child);
        if (item && item->role() == QAccessible::Notification)
            return item;
    }
    return nullptr;
}

// The amount a screen reader reads of the donation slider, in words: over AT-SPI from Qt 6.8 on
// the slider's value text, which goes to it as the object attribute "valuetext"; over UI
// Automation the value text itself; else the slider's description.
QString amountReadOf(QAccessibleInterface* slider)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAttributesInterface* attributes = slider->attributesInterface();
    if (!attributes || !attributes->attributeKeys().contains(QAccessible::Attribute::Custom))
        return QStringLiteral("(no attributes)");
    return attributes->attributeValue(QAccessible::Attribute::Custom)
        .value<QHash<QString, QString>>()
        .value(QStringLiteral("valuetext"), QStringLiteral("(no valuetext)"));
#elif defined(AHNEMETRI_AMOUNT_IN_VALUE_TEXT)
    return slider->text(QAccessible::Value);
#else
    return slider->text(QAccessible::Description);
#endif
}

// The words a screen reader reads out when the donation slider has moved: the slider's own
// value text, read on the change of its value, where it takes that text; else the notification
// that comes up with every move.
QString amountHeardOnMove(QSlider* slider)
{
#ifdef AHNEMETRI_AMOUNT_IN_VALUE_TEXT
    return amountReadOf(QAccessible::queryAccessibleInterface(slider));
#else
    QAccessibleInterface* notice = noticeOf(slider);
    return notice ? nameOf(notice) : QStringLiteral("(no notification)");
#endif
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startWindow_data();
    void startWindow();
    void nameBoxIsLabelledAndReadsTheName();
    void questionPanels_data();
    void questionPanels();
    void donationSliderReadsAndTakesTheAmount();
    void donationSliderIsHeardInWords_data();
    void donationSliderIsHeardInWords();
    void resultsAfterAWholeTest_data();
    void resultsAfterAWholeTest();
    void summaryLineIsReadAsShown_data();
    void summaryLineIsReadAsShown();
    void aboutWindow_data();
    void aboutWindow();
    void everyControlIsNamed_data();
    void everyControlIsNamed();
    void startingOverIsHeardFromQuestionOne_data();
    void startingOverIsHeardFromQuestionOne();

private:
    IntroFrm& intro() { return m_program->windows.introFrm(); }
    QWidget* windowInState(const QString& state);

    std::optional<ProgramFixture> m_program;
};

void TestAccessibility::init()
{
    m_program.emplace();
}

void TestAccessibility::cleanup()
{
    m_program.reset();
}

void TestAccessibility::startWindow_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    // clang-format off
    QTest::newRow("name box") << "NimiTxt" << QAccessible::EditableText << "Nimesi:"
                              << "Kirjoita nimesi tekstikenttään";
    QTest::newRow("name label") << "NimiLbl" << QAccessible::StaticText << "Nimesi:" << "";
    QTest::newRow("start button") << "AloitaCmd" << QAccessible::Button << "Aloita testi"
                                  << "Aloittaa testin";
    QTest::newRow("title picture") << "OtsikkoImg" << QAccessible::Graphic << "Ahnemetri"
                                   << "Ahnemetri";
    // The introduction is read with the window's title whenever the window comes up.
    const QString introduction =
        QStringLiteral("Tämä ohjelma testaa sinun himosi rahaan ja mammonaan. Vastaat vain "
                       "yksinkertaisesti tuleviin kysymyksiin totuuden mukaisesti. "
                       "Kysymystyylejä on erilaisia ja kysymyksiä on 25 kappaletta. Kirjoita "
                       "aluksi nimesi tekstikenttään ja paina Aloita testi -nappulaa. Testin voit "
                       "keskeyttää painamalle X -nappulaa yläkulmassa.");
    QTest::newRow("introduction") << "IntroLbl" << QAccessible::StaticText << introduction << "";
    QTest::newRow("window") << "IntroFrm" << QAccessible::Window << AHNEMETRI_TITLE << introduction;
    QTest::newRow("menu item About") << "TietoaFile" << QAccessible::MenuItem << "Tietoa..." << "";
    QTest::newRow("menu item Quit") << "LopetaFile" << QAccessible::MenuItem << "Lopeta" << "";
    // clang-format on
}

void TestAccessibility::startWindow()
{
    QFETCH(QString, control);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QAccessibleInterface* item = reachableByName(intro(), control);
    QVERIFY(item);
    QCOMPARE(item->role(), role);
    QCOMPARE(nameOf(item), name);
    QCOMPARE(item->text(QAccessible::Description), description);
}

void TestAccessibility::nameBoxIsLabelledAndReadsTheName()
{
    QAccessibleInterface* box = reachableByName(intro(), QStringLiteral("NimiTxt"));
    QVERIFY(box);
    QVERIFY(box->state().focused);
    QTest::keyClicks(control<QLineEdit>(intro(), QStringLiteral("NimiTxt")),
                     QStringLiteral("Tupu & <b>Lupu</b>"));
    QCOMPARE(box->text(QAccessible::Value), QStringLiteral("Tupu & <b>Lupu</b>"));
    // The label is announced as the box's label, and the name does not replace the box's name.
    QCOMPARE(nameOf(box), QStringLiteral("Nimesi:"));
    const auto labels = box->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first().first->object()->objectName(), QStringLiteral("NimiLbl"));
    // The start button, enabled now, is announced as such.
    QAccessibleInterface* start = reachableByName(intro(), QStringLiteral("AloitaCmd"));
    QTRY_VERIFY(!start->state().disabled);
}

void TestAccessibility::questionPanels_data()
{
    QTest::addColumn<int>("question");
    for (int number = 1; number <= quiz::questionCount; ++number)
        QTest::addRow("question %d", number) << number;
}

void TestAccessibility::questionPanels()
{
    QFETCH(int, question);
    KysymysFrm* questionnaire = m_program->questionnaireAt(question);
    QVERIFY(questionnaire);
    const quiz::Question& asked = quiz::question(question);
    // What the label says comes from the record of texts, not from the catalogue itself.
    const QString askedText = TextRecord::instance().text(
        QStringLiteral("KysymysFrm"), asked.label.name.toString() + QStringLiteral(" text"));

    QAccessibleInterface* panel = reachableByName(*questionnaire, quiz::panelName(question));
    QVERIFY(panel);
    QCOMPARE(panel->role(), QAccessible::Grouping);
    QCOMPARE(nameOf(panel), QStringLiteral("Kysymys %1/25").arg(question));
    QVERIFY(isShown(panel));
    // Every panel lies on the window for a screen reader, however the panels nest on screen,
    // and only the one on top is shown; none is labelled by the caption of another.
    QCOMPARE(panel->parent()->object(), questionnaire);
    for (int number = 1; number <= quiz::questionCount; ++number) {
        QAccessibleInterface* other = reachableByName(*questionnaire, quiz::panelName(number));
        QVERIFY(other);
        QCOMPARE(isShown(other), number == question);
    }
    QVERIFY(panel->relations(QAccessible::Label).isEmpty());

    QAccessibleInterface* label = reachableByName(*questionnaire, asked.label.name.toString());
    QVERIFY(label);
    QCOMPARE(label->role(), QAccessible::StaticText);
    QCOMPARE(nameOf(label), askedText);
    QVERIFY(isShown(label));

    // Only the controls of the panel on top are shown and reachable; those of the covered
    // panels are out of sight for a screen reader too.
    QStringList expected;
    if (asked.kind == quiz::AnswerKind::Slider) {
        expected = {quiz::donation::sliderName.toString(), asked.left.controlName.toString()};
    } else {
        expected = {asked.left.controlName.toString(), asked.right.controlName.toString()};
        for (const quiz::Answer& choice : {asked.left, asked.right}) {
            QAccessibleInterface* button =
                reachableByName(*questionnaire, choice.controlName.toString());
            QVERIFY(button);
            QCOMPARE(button->role(), QAccessible::Button);
            QCOMPARE(nameOf(button), withoutAccessKey(choice.caption));
            // The question is read with the answer that has the focus.
            QCOMPARE(button->text(QAccessible::Description), askedText);
        }
    }
    QCOMPARE(shownFocusable(*questionnaire), expected);
    for (int covered = 1; covered < question; ++covered) {
        const quiz::Question& earlier = quiz::question(covered);
        for (QStringView hidden :
             {earlier.label.name, earlier.left.controlName, earlier.right.controlName}) {
            if (hidden.isEmpty())
                continue;
            QAccessibleInterface* item = reachableByName(*questionnaire, hidden.toString());
            QVERIFY2(item, qPrintable(hidden.toString()));
            QVERIFY2(!isShown(item), qPrintable(hidden.toString()));
        }
    }
}

void TestAccessibility::donationSliderReadsAndTakesTheAmount()
{
    KysymysFrm* questionnaire = m_program->questionnaireAt(quiz::donation::questionNumber);
    QVERIFY(questionnaire);
    QAccessibleInterface* slider =
        reachableByName(*questionnaire, QStringLiteral("KysymysSlider9"));
    QAccessibleInterface* confirm = reachableByName(*questionnaire, QStringLiteral("markkaaCmd9"));
    QVERIFY(slider && confirm);
    QCOMPARE(slider->role(), QAccessible::Slider);
    QCOMPARE(nameOf(slider), QStringLiteral("Lahjoitus markkoina"));
    QVERIFY(slider->state().focused);
    QAccessibleValueInterface* amount = slider->valueInterface();
    QVERIFY(amount);
    QCOMPARE(amount->minimumValue().toInt(), 0);
    QCOMPARE(amount->maximumValue().toInt(), 20);
    QCOMPARE(amount->currentValue().toInt(), 0);
    QCOMPARE(nameOf(confirm), QStringLiteral("0 markkaa"));
    // The slider is labelled by the question and described by the amount in words.
    const auto labels = slider->relations(QAccessible::Label);
    QVERIFY(!labels.isEmpty());
    QCOMPARE(labels.first().first->object()->objectName(), QStringLiteral("KysymysLbl9"));
    QCOMPARE(amountReadOf(slider), QStringLiteral("0 markkaa"));
#ifdef AHNEMETRI_AMOUNT_IN_VALUE_TEXT
    // The amount is the slider's value text; read as its description too, it would be heard
    // twice, and no notification has to carry it.
    QCOMPARE(slider->text(QAccessible::Value), QStringLiteral("0 markkaa"));
#ifdef Q_OS_WIN
    // UI Automation reads no label; the question goes as the description.
    QCOMPARE(slider->text(QAccessible::Description),
             TextRecord::instance().text(QStringLiteral("KysymysFrm"),
                                         QStringLiteral("KysymysLbl9 text")));
#else
    QCOMPARE(slider->text(QAccessible::Description), QString());
#endif
    QVERIFY(!noticeOf(control<QSlider>(*questionnaire, QStringLiteral("KysymysSlider9"))));
#else
    // Moved with the keyboard, the notice that a screen reader is told of after every move
    // reads the new amount.
    QAccessibleInterface* notice =
        noticeOf(control<QSlider>(*questionnaire, QStringLiteral("KysymysSlider9")));
    QVERIFY(notice);
    QCOMPARE(notice->parent()->object(), slider->object());
#endif
    // Moved with the keyboard, the amount and the confirm button read the new amount.
    for (int step = 0; step < 7; ++step)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QCOMPARE(amount->currentValue().toInt(), 7);
    QCOMPARE(nameOf(confirm), QStringLiteral(" 7 markkaa"));
    QCOMPARE(amountReadOf(slider), QStringLiteral("7 markkaa"));
#ifdef AHNEMETRI_AMOUNT_IN_VALUE_TEXT
    QCOMPARE(slider->text(QAccessible::Value), QStringLiteral("7 markkaa"));
#else
    QCOMPARE(slider->text(QAccessible::Value), QStringLiteral("7"));
    QCOMPARE(nameOf(notice), QStringLiteral("7 markkaa"));
#endif

    // An assistive technology may set the amount itself; the slider and the button follow.
    amount->setCurrentValue(1);
    QCOMPARE(control<QSlider>(*questionnaire, QStringLiteral("KysymysSlider9"))->value(), 1);
    QCOMPARE(nameOf(confirm), QStringLiteral(" 1 markka"));
    QCOMPARE(amountReadOf(slider), QStringLiteral("1 markka"));
#ifndef AHNEMETRI_AMOUNT_IN_VALUE_TEXT
    QCOMPARE(nameOf(notice), QStringLiteral("1 markka"));
#endif
}

void TestAccessibility::donationSliderIsHeardInWords_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QStringList>("heard"); // after each key
    // clang-format off
    QTest::newRow("one is singular") << QList<int>{Qt::Key_Right} << QStringList{"1 markka"};
    QTest::newRow("up and back")
        << QList<int>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Left}
        << QStringList{"1 markka", "2 markkaa", "1 markka", "0 markkaa"};
    QTest::newRow("page up twice") << QList<int>{Qt::Key_PageUp, Qt::Key_PageUp}
                                   << QStringList{"5 markkaa", "10 markkaa"};
    QTest::newRow("end, then past it") << QList<int>{Qt::Key_End, Qt::Key_Right}
                                       << QStringList{"20 markkaa", "20 markkaa"};
    QTest::newRow("end, then home") << QList<int>{Qt::Key_End, Qt::Key_Home}
                                    << QStringList{"20 markkaa", "0 markkaa"};
    // clang-format on
}

// Every move of the donation slider by keyboard is heard as the new amount in words, and on
// the focus, "where am I" included, the amount it stands at.
void TestAccessibility::donationSliderIsHeardInWords()
{
    QFETCH(QList<int>, keys);
    QFETCH(QStringList, heard);
    QCOMPARE(keys.size(), heard.size());
    KysymysFrm* questionnaire = m_program->questionnaireAt(quiz::donation::questionNumber);
    QVERIFY(questionnaire);
    auto* slider = control<QSlider>(*questionnaire, QStringLiteral("KysymysSlider9"));
    QTRY_COMPARE(QApplication::focusWidget(), slider);
    QAccessibleInterface* item = QAccessible::queryAccessibleInterface(slider);
    for (qsizetype i = 0; i < keys.size(); ++i) {
        QTest::keyClick(slider, Qt::Key(keys.at(i)));
        QCOMPARE(amountHeardOnMove(slider), heard.at(i));
        QCOMPARE(amountReadOf(item), heard.at(i));
    }
#ifdef AHNEMETRI_AMOUNT_IN_VALUE_TEXT
    QVERIFY(!noticeOf(slider)); // the value itself carries the words
#endif
}

void TestAccessibility::resultsAfterAWholeTest_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("donation");
    QTest::addColumn<double>("meter");
    QTest::addColumn<QString>("meterText");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<int>("row");
    // clang-format off
    QTest::newRow("every higher answer") << highestAnswers() << 0 << 50.0 << "50"
                                         << "Olet 100% rahahullu" << " 100%" << 11;
    QTest::newRow("every lower answer") << lowestAnswers() << 20 << 0.0 << "0"
                                        << "Olet 0% rahahullu" << " 0%" << 1;
    // Half a unit on the meter: a rounded reading would say 19 of 50, that is 38%.
    QTest::newRow("an odd score") << answersForThirtySeven() << 0 << 18.5 << "18.5"
                                  << "Olet 37% rahahullu" << " 37%" << 5;
    // clang-format on
}

void TestAccessibility::resultsAfterAWholeTest()
{
    QFETCH(QStringList, answers);
    QFETCH(int, donation);
    QFETCH(double, meter);
    QFETCH(QString, meterText);
    QFETCH(QString, tip);
    QFETCH(QString, percent);
    QFETCH(int, row);
    StatusFrm* results = m_program->runTest(QStringLiteral("Nimi"), answers, donation);
    QVERIFY(results);

    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(results);
    QCOMPARE(nameOf(window), QStringLiteral(AHNEMETRI_TITLE " - Tilastot (Nimi)"));
    // Read with the title when the window comes up: the result, before the focused button.
    QCOMPARE(window->text(QAccessible::Description),
             tip + QStringLiteral(". ") + diagnosisRow(row)
                 + QStringLiteral(" Rahahulluus:%1 / Aika: 14:09:05 / Nimi").arg(percent));

    QAccessibleInterface* meterBar = reachableByName(*results, QStringLiteral("GraphicProg"));
    QVERIFY(meterBar);
    QCOMPARE(meterBar->role(), QAccessible::ProgressBar);
    QCOMPARE(nameOf(meterBar), QStringLiteral("Rahahulluusmittari"));
    QCOMPARE(meterBar->text(QAccessible::Description), tip);
    QCOMPARE(meterBar->text(QAccessible::Value), meterText);
    QAccessibleValueInterface* reading = meterBar->valueInterface();
    QVERIFY(reading);
    QCOMPARE(reading->currentValue().toDouble(), meter);
    QCOMPARE(reading->minimumValue().toDouble(), 0.0);
    QCOMPARE(reading->maximumValue().toDouble(), 50.0);
    // Only the program moves the meter.
    reading->setCurrentValue(3);
    QCOMPARE(reading->currentValue().toDouble(), meter);

    QAccessibleInterface* percentage = reachableByName(*results, QStringLiteral("ProssaLbl"));
    QVERIFY(percentage);
    QCOMPARE(nameOf(percentage), percent);

    QAccessibleInterface* diagnosis = reachableByName(*results, QStringLiteral("DiagnosisTxt"));
    QVERIFY(diagnosis);
    QCOMPARE(diagnosis->role(), QAccessible::EditableText);
    QCOMPARE(nameOf(diagnosis), QStringLiteral("Diagnoosi"));
    QVERIFY(diagnosis->state().readOnly);
    QCOMPARE(diagnosis->text(QAccessible::Value), diagnosisRow(row));
    QAccessibleTextInterface* diagnosisText = diagnosis->textInterface();
    QVERIFY(diagnosisText);
    QCOMPARE(diagnosisText->text(0, diagnosisText->characterCount()), diagnosisRow(row));

    // The frames are named by their own captions.
    QAccessibleInterface* graphic = reachableByName(*results, QStringLiteral("GraphicFrame"));
    QAccessibleInterface* text = reachableByName(*results, QStringLiteral("TextFrame"));
    QVERIFY(graphic && text);
    QCOMPARE(nameOf(graphic), QStringLiteral("Graafisena"));
    QCOMPARE(nameOf(text), QStringLiteral("Tekstinä"));
    QCOMPARE(meterBar->parent()->object(), graphic->object());
    QCOMPARE(diagnosis->parent()->object(), text->object());

    QAccessibleInterface* newTest = reachableByName(*results, QStringLiteral("UusiCmd"));
    QVERIFY(newTest);
    QCOMPARE(nameOf(newTest), QStringLiteral("Uusi testi"));
    QVERIFY(newTest->state().focused);
    QCOMPARE(nameOf(reachableByName(*results, QStringLiteral("LopetaCmd"))),
             QStringLiteral("Lopeta"));
}

void TestAccessibility::summaryLineIsReadAsShown_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("ampersand") << "Tom & Jerry";
    QTest::newRow("access-key mark") << "&Jerry";
    QTest::newRow("doubled ampersand") << "Roope && Aku";
    QTest::newRow("bold markup") << "<b>Roope</b>";
    QTest::newRow("entity") << "Aku &amp; Iines";
    QTest::newRow("modified mark of a title") << "Roope [*]";
}

void TestAccessibility::summaryLineIsReadAsShown()
{
    QFETCH(QString, name);
    StatusFrm* results = m_program->runTest(name, lowestAnswers(), 20);
    QVERIFY(results);
    QAccessibleInterface* summary = reachableByName(*results, QStringLiteral("ProssaSelLbl"));
    QVERIFY(summary);
    QCOMPARE(summary->role(), QAccessible::StaticText);
    QCOMPARE(nameOf(summary), QStringLiteral("Rahahulluus: 0% / Aika: 14:09:05 / ") + name);
    QCOMPARE(nameOf(QAccessible::queryAccessibleInterface(results)),
             QStringLiteral(AHNEMETRI_TITLE " - Tilastot (") + name + u')');

    // The next test reads the next name.
    QVERIFY(userClick(control<QPushButton>(*results, QStringLiteral("UusiCmd"))));
    QVERIFY(m_program->runTest(QStringLiteral("Iines"), lowestAnswers(), 20));
    QCOMPARE(nameOf(summary), QStringLiteral("Rahahulluus: 0% / Aika: 14:09:05 / Iines"));
}

void TestAccessibility::aboutWindow_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    // clang-format off
    QTest::newRow("heading") << "OtsikkoLbl" << QAccessible::StaticText << AHNEMETRI_TITLE ""
                             << AHNEMETRI_TITLE "";
    QTest::newRow("made by") << "TehnytLbl" << QAccessible::StaticText << "Tehnyt:" << "";
    QTest::newRow("programmer") << "KoodariLbl" << QAccessible::StaticText << "Kalle Koodari"
                                << "Koodi ja toteutus: Koodari";
    QTest::newRow("designer") << "SuunnittelijaLbl" << QAccessible::StaticText
                              << "Sanna Suunnittelija" << "Suunnittelu ja toteutus: Suunnittelija";
    QTest::newRow("address") << "URLLbl" << QAccessible::StaticText << "ahnemetri.example"
                             << "Tekijöiden verkko-osoite";
    QTest::newRow("about text")
        << "TietoaLbl" << QAccessible::StaticText
        << "Ahnemetri mittaa rahahimosi jonka perusteella lopussa näet rahahimo-mittarista "
           "tuloksesi. Muita eri-jänskiä tekeleitä saa osoitteesta:"
        << "";
    QTest::newRow("OK") << "OKcmd" << QAccessible::Button << "OK" << "OK";
    // clang-format on
}

void TestAccessibility::aboutWindow()
{
    QFETCH(QString, control);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    QFETCH(QString, description);
    QTest::mouseDClick(::control<QWidget>(intro(), QStringLiteral("OtsikkoImg")), Qt::LeftButton);
    QWidget* about = m_program->tietoaIfCreated();
    QVERIFY(about);
    QVERIFY(QTest::qWaitForWindowActive(about));
    QAccessibleInterface* item = reachableByName(*about, control);
    QVERIFY(item);
    QCOMPARE(item->role(), role);
    QCOMPARE(nameOf(item), name);
    QCOMPARE(item->text(QAccessible::Description), description);
    QVERIFY(isShown(item));
}

// Each window in a state worth reading: what a user sees there.
QWidget* TestAccessibility::windowInState(const QString& state)
{
    if (state == u"start")
        return &intro();
    if (state == u"start with a name") {
        QTest::keyClicks(control<QLineEdit>(intro(), QStringLiteral("NimiTxt")),
                         QStringLiteral("Nimi"));
        return &intro();
    }
    if (state.startsWith(u"question "))
        return m_program->questionnaireAt(state.sliced(9).toInt());
    if (state == u"results")
        return m_program->runTest(QStringLiteral("Nimi"), answersForThirtySeven(), 0);
    if (state == u"about") {
        m_program->windows.show(m_program->windows.tietoaFrm());
        return m_program->tietoaIfCreated();
    }
    return nullptr;
}

void TestAccessibility::everyControlIsNamed_data()
{
    QTest::addColumn<QString>("state");
    for (const char* state : {"start", "start with a name", "question 1", "question 9",
                              "question 25", "results", "about"})
        QTest::newRow(state) << QString::fromLatin1(state);
}

// Every control and every text on screen has a name. A screen reader walks the tree both ways
// (a child's parent, its index there), and skips what is not shown with everything below it.
void TestAccessibility::everyControlIsNamed()
{
    QFETCH(QString, state);
    QWidget* window = windowInState(state);
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    // The window is read as a window, by the caption that its title bar shows.
    QCOMPARE(QAccessible::queryAccessibleInterface(window)->role(), QAccessible::Window);
    QCOMPARE(nameOf(QAccessible::queryAccessibleInterface(window)),
             window->windowHandle()->title());
    int readable = 0;
    for (QAccessibleInterface* item : accessibleTree(*window)) {
        const QString what = item->object() ? item->object()->objectName() : QStringLiteral("?");
        for (int index = 0; index < item->childCount(); ++index) {
            QAccessibleInterface* child = item->child(index);
            QVERIFY2(child, qPrintable(what));
            QCOMPARE(child->parent(), item);
            QCOMPARE(item->indexOfChild(child), index);
        }
        // What takes the focus, shown or not, and what can be read on screen has a name.
        const bool control = item->state().focusable;
        const QAccessible::Role role = item->role();
        const bool content = role == QAccessible::StaticText || role == QAccessible::Graphic
                             || role == QAccessible::ProgressBar || role == QAccessible::Slider
                             || role == QAccessible::EditableText || role == QAccessible::Button;
        if (control || (content && isShown(item))) {
            QVERIFY2(!nameOf(item).trimmed().isEmpty(), qPrintable(what));
            ++readable;
        }
        if (control && isShown(item)) {
            for (QAccessibleInterface* up = item->parent(); up && up->object() != qApp;
                 up = up->parent())
                QVERIFY2(isShown(up), qPrintable(what));
        }
    }
    QVERIFY(readable >= 3);
}

void TestAccessibility::startingOverIsHeardFromQuestionOne_data()
{
    QTest::addColumn<int>("question");
    QTest::addColumn<int>("amount"); // moved to on the donation question, if it is reached
    QTest::newRow("after question 2") << 2 << 0;
    QTest::newRow("at the donation, 7 markkaa") << 9 << 7;
    QTest::newRow("at the last question") << 25 << 0;
}

void TestAccessibility::startingOverIsHeardFromQuestionOne()
{
    QFETCH(int, question);
    QFETCH(int, amount);
    KysymysFrm* questionnaire = m_program->questionnaireAt(question);
    QVERIFY(questionnaire);
    for (int step = 0; step < amount; ++step)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    // The close box interrupts the test; the next one starts over.
    questionnaire->close();
    QVERIFY(QTest::qWaitForWindowActive(&intro()));
    QCOMPARE(m_program->startTest(QStringLiteral("Nimi")), questionnaire);

    QStringList shownPanels;
    for (int number = 1; number <= quiz::questionCount; ++number) {
        if (isShown(reachableByName(*questionnaire, quiz::panelName(number))))
            shownPanels.append(quiz::panelName(number));
    }
    QCOMPARE(shownPanels, QStringList{QStringLiteral("KysymysFrame1")});
    QAccessibleInterface* focused = reachableByName(*questionnaire, QStringLiteral("AvautuuCmd"));
    QVERIFY(focused && focused->state().focused);
    QCOMPARE(focused->text(QAccessible::Description),
             TextRecord::instance().text(QStringLiteral("KysymysFrm"),
                                         QStringLiteral("KysymysLbl1 text")));
    QCOMPARE(amountReadOf(reachableByName(*questionnaire, QStringLiteral("KysymysSlider9"))),
             QStringLiteral("0 markkaa"));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
