#include "forms/introfrm.h"
#include "ui_introfrm.h"

#include "forms/accessibility.h"
#include "forms/closebox.h"
#include "forms/formstyle.h"
#include "version.h"

#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QTimer>

namespace forms {

namespace {
constexpr QSize titlePictureSize{200, 50};

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
        picture.setPixmap(builtInPicture(QStringLiteral(":/images/otsikko"), titlePictureSize));
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
    return QMainWindow::eventFilter(watched, event);
}

} // namespace forms
