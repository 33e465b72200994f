#pragma once

// The bare window that the program is measured against: a QMainWindow with a menu of two
// entries and a label of one line filling a central area of the start window's client size
// (5895 x 3855 twips).

#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

class BareMainWindow : public QMainWindow {
public:
    static constexpr QSize clientSize{393, 257};

    BareMainWindow()
    {
        setWindowTitle(QStringLiteral("Bare"));
        auto* central = new QLabel(QStringLiteral("Bare window"), this);
        central->setFixedSize(clientSize);
        setCentralWidget(central);
        QMenu* menu = menuBar()->addMenu(QStringLiteral("&Menu"));
        menu->addAction(QStringLiteral("&About"));
        menu->addSeparator();
        menu->addAction(QStringLiteral("&Quit"));
    }
};
