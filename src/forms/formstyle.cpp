#include "forms/formstyle.h"

#include <QIcon>
#include <QImageReader>
#include <QLayout>
#include <QPixmap>
#include <QResource>
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

QPixmap builtInPicture(const QString& name, QSize size)
{
#ifdef Q_OS_WASM
    // In the browser the pictures are compiled in as their pixels, uncompressed (made from the
    // PNG files at build time): a browser compiles each function the first time it runs, and
    // reading PNG would have it compile zlib and libpng before the start window is drawn.
    const QResource pixels(name + QStringLiteral(".argb"));
    if (pixels.compressionAlgorithm() != QResource::NoCompression
        || pixels.size() != qint64(size.width()) * size.height() * 4)
        return {};
    return QPixmap::fromImage(
        QImage(pixels.data(), size.width(), size.height(), QImage::Format_ARGB32));
#else
    // A PNG file, read as PNG without asking every image format plugin installed whether it
    // knows the file (which loads them all).
    QImageReader reader(name + QStringLiteral(".png"), QByteArrayLiteral("png"));
    reader.setAutoDetectImageFormat(false);
    const QImage picture = reader.read();
    return picture.size() == size ? QPixmap::fromImage(picture) : QPixmap();
#endif
}

QIcon programIcon()
{
    // The 32-pixel icon is the program's own; the others keep it sharp in small title bars
    // and on dense screens.
    QIcon icon;
#ifdef Q_OS_WASM
    for (const int side : {32, 16, 64})
        icon.addPixmap(
            builtInPicture(QStringLiteral(":/icons/ahnemetri-%1").arg(side), QSize(side, side)));
#else
    // Each file is read when a size it serves best is asked for: a title bar that wants one
    // small picture does not decode all three.
    icon.addFile(QStringLiteral(":/icons/ahnemetri.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/ahnemetri-16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/ahnemetri-64.png"), QSize(64, 64));
#endif
    return icon;
}

QString literalWindowTitle(const QString& text)
{
    QString title = text;
    return title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

} // namespace forms
