#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QIcon;
class QPixmap;
class QWidget;

// Layout and look shared by the program's windows. Positions and sizes are given in twips,
// 15 of which make one pixel at 96 dots per inch.
namespace forms {

constexpr int fromTwips(int twips)
{
    return (twips + 7) / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return {fromTwips(left), fromTwips(top), fromTwips(width), fromTwips(height)};
}

enum class FontStyle { Plain, Bold, ItalicUnderlined, Underlined };

// Every text of the program is set in Verdana; fontconfig substitutes where it is missing.
QFont verdana(qreal points, FontStyle style = FontStyle::Plain);

// A top-level window whose client area has a fixed size: no resizing, no maximise button.
void makeFixedWindow(QWidget& window, QSize clientSize);

// A picture compiled into the program, by its resource path without the file's suffix
// (":/images/otsikko"), and its size in pixels; a null pixmap if it is not that size.
QPixmap builtInPicture(const QString& name, QSize size);

// The coin-and-gauge icon of the three main windows.
QIcon programIcon();

// A window title shows its text as typed; Qt would otherwise hide "[*]".
QString literalWindowTitle(const QString& text);

} // namespace forms
