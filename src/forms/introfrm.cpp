#include "forms/introfrm.h"
#include "ui_introfrm.h"

#include "forms/accessiblewindow.h"
#include "forms/closebox.h"
#include "forms/formstyle.h"
#include "version.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaMethod>
#include <QTimer>
#include <QValidator>

namespace forms {

namespace {
constexpr QSize clientSize{forms::fromTwips(5895), forms::fromTwips(3855)};
constexpr QSize titlePictureSize{200, 50};

// Far longer than any real name (the results show at most 30 characters of it), and short
// enough that every key press in the box stays quick: the box lays out its whole text on each
// one. A longer paste is cut here.
constexpr int longestName = 1000;

bool isLineBreak(char16_t c)
{
    switch (c) {
    case u'\n':
    case u'\v':
    case u'\f':
    case u'\r':
    case u'\u0085':
    case u'\u2028':
    case u'\u2029':
        return true;
    default:
        return false;
    }
}

// The text as one line: line breaks at its end go, every other line break and every tab
// becomes a blank (CR LF is one line break), and other control characters and halves of
// characters go.
QString asOneLine(QStringView text)
{
    qsizetype end = text.size();
    while (end > 0 && isLineBreak(text.at(end - 1).unicode()))
        --end;
    QString line;
    line.reserve(end);
    for (qsizetype i = 0; i < end; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r' && i + 1 < end && text.at(i + 1) == u'\n')
            continue;
        if (isLineBreak(c.unicode()) || c == u'\t') {
            line += u' ';
        } else if (c.isHighSurrogate() && i + 1 < end && text.at(i + 1).isLowSurrogate()) {
            line += c;
            line += text.at(++i);
        } else if (c.category() != QChar::Other_Control && !c.isSurrogate()) {
            line += c;
        }
    }
    return line;
}

// The name box holds one line, whatever is pasted, dropped or sent by an input method, the way
// a desktop's single-line text field takes a paste (Firefox's default): the line breaks that end
// the inserted text go and the others become blanks. The inserted text ends at the cursor, so
// each side of the cursor is made one line on its own.
class OneLine : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& text, int& cursor) const override
    {
        const qsizetype split = qBound(qsizetype(0), qsizetype(cursor), text.size());
        const QString before = asOneLine(QStringView(text).left(split));
        const QString line = before + asOneLine(QStringView(text).sliced(split));
        if (line != text) {
            text = line;
            cursor = int(before.size());
        }
        return Acceptable;
    }
};

// Makes the next edit of the box an undo step of its own: the box begins a new step whenever
// its cursor moves. The selection, if any, is put back as it was.
void beginUndoStep(QLineEdit& box)
{
    if (box.text().isEmpty())
        return;
    const int cursor = box.cursorPosition();
    const int start = box.selectionStart();
    const int length = int(box.selectedText().size());
    box.setCursorPosition(cursor == 0 ? int(box.text().size()) : 0);
    if (length == 0)
        box.setCursorPosition(cursor);
    else if (cursor == start)
        box.setSelection(start + length, -length);
    else
        box.setSelection(start, length);
}

// The title picture in the pixel density the label is drawn at. A window is created before it
// knows its screen, may move to a screen of another density, and a screen's scale may change
// while the program runs. Qt does not announce these the same way in every version (Qt 6.4 tells
// the widgets of a screen change only, 6.6 and later of the new ratio as well), so the picture
// is checked whenever the label is about to be drawn.
void showTitlePicture(QLabel& picture)
{
    const qreal ratio = picture.devicePixelRatioF();
    if (!picture.pixmap().isNull() && picture.pixmap().devicePixelRatio() == ratio)
        return;
    // At ratio 1 the picture is the file itself, which is all QIcon would give; read that way,
    // the start does not decode the @2x file as well, nor ask the image plugins about either.
    if (ratio == 1.0) {
        picture.setPixmap(builtInPicture(QStringLiteral(":/images/otsikko.png")));
        return;
    }
    const QIcon title(QStringLiteral(":/images/otsikko.png"));
    picture.setPixmap(title.pixmap(titlePictureSize, ratio));
}
} // namespace

IntroFrm::IntroFrm(QWidget* parent)
    : QMainWindow(parent)
    , m_ui(std::make_unique<Ui::IntroFrm>())
    , m_timer(new QTimer(this))
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral(AHNEMETRI_TITLE));
    m_ui->centralwidget->setFixedSize(clientSize);
    forms::makeFixedWindow(*this, clientSize);
    setWindowIcon(forms::programIcon());

    // Frame children carry the window's font unless told otherwise; only the name box is small.
    setFont(verdana(9.75));
    m_ui->OptionsFrame->setFont(verdana(8.25));
    m_ui->NimiTxt->setFont(verdana(8.25));
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_ui->NimiLbl, m_ui->IntroLbl, m_ui->AloitaCmd})
        w->setFont(verdana(9.75));

    QAction* separator = m_ui->YleistaMenu->insertSeparator(m_ui->LopetaFile);
    separator->setObjectName(QStringLiteral("ViivaFile2"));

    showTitlePicture(*m_ui->OtsikkoImg);
    m_ui->OtsikkoImg->installEventFilter(this);
    // Screen readers: the picture is the program's name, and the name box is named by its label.
    m_ui->OtsikkoImg->setAccessibleName(QStringLiteral("Ahnemetri"));
    m_ui->NimiLbl->setBuddy(m_ui->NimiTxt);
    // The introduction is the window's description, which a screen reader reads whenever the
    // window comes up, at start and after every test.
    setAccessibleDescription(m_ui->IntroLbl->text());
    // Ctrl+X belongs to the menu's "Lopeta", also while the name box has the focus.
    m_ui->NimiTxt->installEventFilter(this);
    m_ui->NimiTxt->setMaxLength(longestName);
    m_ui->NimiTxt->setValidator(new OneLine(m_ui->NimiTxt));

    connect(m_ui->AloitaCmd, &QPushButton::clicked, this, &IntroFrm::startRequested);
    connect(m_ui->TietoaFile, &QAction::triggered, this, &IntroFrm::aboutRequested);
    connect(m_ui->LopetaFile, &QAction::triggered, this, &IntroFrm::quitRequested);
    // The close box of the start window ends the program: it is all there is on screen.
    connect(new forms::CloseBox(*this), &forms::CloseBox::requested, this,
            &IntroFrm::quitRequested);

    // The start button follows the name box by polling while the window is shown; it starts
    // with the window (showEvent). Every change of the text sets it as well, so that the key
    // right after a paste or a letter (a password manager's Tab and Enter) finds it right.
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(5);
    connect(m_timer, &QTimer::timeout, this, &IntroFrm::onTimerTick);
    connect(m_ui->NimiTxt, &QLineEdit::textChanged, this, &IntroFrm::onTimerTick);
}

IntroFrm::~IntroFrm() = default;

// A paste goes in already as one line, as one step that Undo takes back. Cleaned by the
// validator instead, it would replace the box's text, and with it the whole undo history.
void IntroFrm::pasteAsOneLine()
{
    QLineEdit& box = *m_ui->NimiTxt;
    const QString line = asOneLine(QGuiApplication::clipboard()->text());
    if (box.isReadOnly() || (line.isEmpty() && !box.hasSelectedText()))
        return;
    beginUndoStep(box);
    box.insert(line);
    beginUndoStep(box);
}

// The name box's own menu, whose "Liitä" pastes as Ctrl+V does.
void IntroFrm::showNameBoxMenu(const QPoint& globalPosition)
{
    QLineEdit* box = m_ui->NimiTxt;
    QMenu* menu = box->createStandardContextMenu();
    // The item that loses its connection to QLineEdit::paste() is the one to take over. Qt
    // 6.4 wires it by the slot's name, later versions by the member function.
    static const QMetaMethod boxPaste =
        QLineEdit::staticMetaObject.method(QLineEdit::staticMetaObject.indexOfSlot("paste()"));
    for (QAction* action : menu->actions()) {
        if (disconnect(action, QMetaMethod::fromSignal(&QAction::triggered), box, boxPaste)
            || disconnect(action, &QAction::triggered, box, &QLineEdit::paste))
            connect(action, &QAction::triggered, this, &IntroFrm::pasteAsOneLine);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPosition);
}

QString IntroFrm::playerName() const
{
    return m_ui->NimiTxt->text();
}

void IntroFrm::clearName()
{
    // setText rather than clear(): the next player must not get the last name back with Undo.
    m_ui->NimiTxt->setText(QString());
}

void IntroFrm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The first tick comes at once, so the button is right before the window is drawn, also
    // when the name was cleared while the window was hidden.
    onTimerTick();
    m_timer->start();
    // Back after a test, the window's contents are new to a screen reader's review, as they
    // were at the start.
    renewAccessible(*centralWidget(), centralWidget()->findChildren<QWidget*>());
}

void IntroFrm::hideEvent(QHideEvent* event)
{
    // Nobody types into a hidden window: the polling rests, and with it the whole program.
    m_timer->stop();
    QMainWindow::hideEvent(event);
}

void IntroFrm::onTimerTick()
{
    // Any text counts as a name, blanks too; the results trim it.
    m_ui->AloitaCmd->setEnabled(!m_ui->NimiTxt->text().isEmpty());
}

bool IntroFrm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->OtsikkoImg && event->type() == QEvent::Paint)
        showTitlePicture(*m_ui->OtsikkoImg);
    if (watched == m_ui->OtsikkoImg && event->type() == QEvent::MouseButtonDblClick) {
        Q_EMIT aboutRequested();
        return true;
    }
    if (watched == m_ui->NimiTxt && event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_X))
            return true; // not claimed by the text box, so the menu shortcut fires
    }
    if (watched == m_ui->NimiTxt && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Paste)) {
            pasteAsOneLine();
            return true;
        }
        // Alt with a letter is an access key, also while its button is disabled; it never
        // types the letter into the name.
        const Qt::KeyboardModifiers modifiers = key->modifiers();
        if ((modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier))
            return true;
    }
    if (watched == m_ui->NimiTxt && event->type() == QEvent::ContextMenu) {
        showNameBoxMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace forms
