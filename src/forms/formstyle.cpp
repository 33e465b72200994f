#include "forms/formstyle.h"

#include <QIcon>
#include <QImageReader>
#include <QLayout>
#include <QPixmap>
#include <QWidget>

namespace forms {

QFont verdana(qreal points, FontStyle style)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(points);
    font.setBold(style == FontStyle::Bold);
    font.setItalic(style == FontStyle::ItalicUnderlined);
    font.setUnderline(style == FontStyle::ItalicUnderlined || style == FontStyle::Underlined);
    return font;
}

void makeFixedWindow(QWidget& window, QSize clientSize)
{
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint);
    // A window with a layout (the menu bar of the start window) fixes itself to the layout's
    // size; the others fix the client area directly.
    if (QLayout* layout = window.layout())
        layout->setSizeConstraint(QLayout::SetFixedSize);
    else
        window.setFixedSize(clientSize);
}

QPixmap builtInPicture(const QString& path)
{
    // The program's pictures are PNG files compiled in: read as PNG, without asking every
    // image format plugin installed whether it knows the file (which loads them all).
    QImageReader reader(path, QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon programIcon()
{
    // The 32-pixel icon is the program's own; the others keep it sharp in small title bars
    // and on dense screens. Each file is read when a size it serves best is asked for: a title
    // bar that wants one small picture does not decode all three.
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/ahnemetri.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/ahnemetri-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/ahnemetri-64.png"), QSize(64, 64));
    return icon;
}

QString literalWindowTitle(const QString& text)
{
    QString title = text;
    return title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

} // namespace forms
