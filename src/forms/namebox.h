#pragma once

#include <QLineEdit>

namespace forms {

// The start window's name box. It holds one line of at most 1000 characters, whatever is typed,
// pasted, dropped or sent by an input method: line breaks and tabs become blanks, line breaks
// at the end of a paste and other control characters go. A paste, by Ctrl+V or by "Liitä" in
// the box's own menu, goes in cleaned as one step that Undo takes back. Two kinds of key belong
// to the window and never to the box: Ctrl+X, the shortcut of the window's "Lopeta", and Alt
// with a letter, an access key.
class NameBox : public QLineEdit {
    Q_OBJECT

public:
    explicit NameBox(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void pasteAsOneLine();
    void showMenu(const QPoint& globalPosition);
};

} // namespace forms
