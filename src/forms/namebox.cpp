#include "forms/namebox.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMetaMethod>
#include <QValidator>

namespace forms {

namespace {
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
} // namespace

NameBox::NameBox(QWidget* parent)
    : QLineEdit(parent)
{
    setMaxLength(longestName);
    setValidator(new OneLine(this));
}

bool NameBox::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_X))
            return true; // not claimed by the box, so the window's menu shortcut fires
    }
    if (event->type() == QEvent::ContextMenu) {
        showMenu(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QLineEdit::event(event);
}

void NameBox::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteAsOneLine();
        return;
    }
    // Alt with a letter is an access key, also while its button is disabled; it never types the
    // letter into the name.
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if ((modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier))
        return;
    QLineEdit::keyPressEvent(event);
}

// A paste goes in already as one line, as one step that Undo takes back. Cleaned by the
// validator instead, it would replace the box's text, and with it the whole undo history.
void NameBox::pasteAsOneLine()
{
    const QString line = asOneLine(QGuiApplication::clipboard()->text());
    if (isReadOnly() || (line.isEmpty() && !hasSelectedText()))
        return;
    beginUndoStep(*this);
    insert(line);
    beginUndoStep(*this);
}

// The box's own menu, whose "Liitä" pastes as Ctrl+V does.
void NameBox::showMenu(const QPoint& globalPosition)
{
    QMenu* menu = createStandardContextMenu();
    // The item that loses its connection to QLineEdit::paste() is the one to take over. Qt
    // 6.4 wires it by the slot's name, later versions by the member function.
    static const QMetaMethod boxPaste =
        QLineEdit::staticMetaObject.method(QLineEdit::staticMetaObject.indexOfSlot("paste()"));
    for (QAction* action : menu->actions()) {
        if (disconnect(action, QMetaMethod::fromSignal(&QAction::triggered), this, boxPaste)
            || disconnect(action, &QAction::triggered, this, &QLineEdit::paste))
            connect(action, &QAction::triggered, this, &NameBox::pasteAsOneLine);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPosition);
}

} // namespace forms
