#pragma once

#include <QList>

class QObject;
class QSlider;
class QString;
class QWidget;

// What screen readers are given of the program beyond what Qt gives of its widgets: the
// accessible interfaces of the windows, the question panels, the donation slider and the meter
// (accessibility.cpp), and the ways the windows tell screen readers what comes up.

// Whether a screen reader takes the donation slider's amount in words from the slider's value
// text: UI Automation (Windows) hands that text on as the slider's value, AT-SPI from Qt 6.8 on
// as the attribute "valuetext". Elsewhere the amount goes as the slider's description and as a
// notice that comes up with every move.
#if defined(Q_OS_WIN) || QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
#define AHNEMETRI_AMOUNT_IN_VALUE_TEXT 1
#endif

namespace forms {

// Installs the program's accessible interfaces, once per process. Every widget class that has
// one calls it from its constructor, before the first object of the class is read.
void useAccessibleInterfaces();

// Screen readers hear the donation slider's amount in the same words as its confirm button's
// caption: as the slider's value where they take its value text; elsewhere as its description
// when it gets the focus and from a notice that comes up with every move.
void speakAmountInWords(QSlider& donationSlider);

// Gives the owner and the widgets new accessible objects and tells screen readers of them
// (nothing is done while no screen reader listens). A screen reader keeps what it has read of
// an object, and Qt tells it when a hidden object comes into sight but not that it is no longer
// hidden: the object stays unseen to the reader's review of the window. An object it has never
// met it reads afresh. Where the page tells its screen reader (see below), nothing is done.
void renewAccessible(QWidget& owner, const QList<QWidget*>& widgets);

// A screen reader of a web page reads the page's elements, which Qt keeps along with its
// objects, and hears what comes up in a window only when the page tells it. The program in a
// browser installs the teller at start (app/browserpage.cpp); a desktop program has none, and
// its screen readers follow the focus and read a window's description as it comes up.
using PageTeller = void (*)(QObject& source, const QString& message);
void setPageTeller(PageTeller teller);

// Has the page tell its screen reader `message` now, in the words a desktop screen reader reads
// from the windows themselves; does nothing on a desktop.
void tellPage(QObject& source, const QString& message);

} // namespace forms
