#include "forms/statusfrm.h"
#include "ui_statusfrm.h"

#include "eval/evaluation.h"
#include "forms/accessibility.h"
#include "forms/closebox.h"
#include "forms/formstyle.h"

namespace forms {

StatusFrm::StatusFrm(QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::StatusFrm>())
{
    forms::useAccessibleInterfaces();
    m_ui->setupUi(this);
    forms::makeFixedWindow(*this, clientSize);
    setWindowIcon(forms::programIcon());

    setFont(verdana(8.25));
    m_ui->ProssaLbl->setFont(verdana(9, FontStyle::Bold));
    m_ui->TilastotSelitysLbl->setFont(verdana(9.75));

    QPalette grey = m_ui->DiagnosisTxt->palette();
    grey.setColor(QPalette::Base, QColor(192, 192, 192));
    m_ui->DiagnosisTxt->setPalette(grey);
    m_ui->DiagnosisTxt->setWordWrapMode(QTextOption::WordWrap);
    m_ui->DiagnosisTxt->setTextInteractionFlags(Qt::TextSelectableByMouse
                                                | Qt::TextSelectableByKeyboard);

    // Screen readers would name the controls of a frame inside a frame after the outer caption.
    m_ui->GraphicFrame->setAccessibleName(m_ui->GraphicFrame->title());
    m_ui->TextFrame->setAccessibleName(m_ui->TextFrame->title());
    m_ui->GraphicProg->setAccessibleName(QStringLiteral("Rahahulluusmittari"));
    m_ui->DiagnosisTxt->setAccessibleName(QStringLiteral("Diagnoosi"));

    connect(m_ui->UusiCmd, &QPushButton::clicked, this, &StatusFrm::newTestRequested);
    connect(m_ui->LopetaCmd, &QPushButton::clicked, this, &StatusFrm::quitRequested);
    // The close box puts the results away as "Uusi testi" does.
    connect(new forms::CloseBox(*this), &forms::CloseBox::requested, this,
            &StatusFrm::newTestRequested);
}

StatusFrm::~StatusFrm() = default;

void StatusFrm::setSources(Sources sources)
{
    m_sources = std::move(sources);
}

void StatusFrm::formLoad()
{
    fill();
}

void StatusFrm::formActivate()
{
    fill();
    m_ui->UusiCmd->setFocus(Qt::ActiveWindowFocusReason);
    // A desktop screen reader reads the window's description as the window comes up; a web
    // page's hears it only when told.
    tellPage(*this, accessibleDescription());
}

void StatusFrm::fill()
{
    const eval::StatusReport report =
        eval::EvaluateStatus(m_sources.score(), m_sources.playerName(), m_sources.timeOfDay());

    setWindowTitle(forms::literalWindowTitle(report.caption));
    m_ui->ProssaSelLbl->setText(report.summaryLine);
    // Read out exactly as shown: a label's own accessible text may drop an "&" of the name.
    m_ui->ProssaSelLbl->setAccessibleName(report.summaryLine);
    m_ui->ProssaLbl->setText(report.percentText);
    m_ui->GraphicProg->setMeterValue(report.meterValue);
    // The tooltip is formed from what the meter reports back, not from the score.
    m_ui->GraphicProg->setToolTip(eval::MeterTip(m_ui->GraphicProg->meterValue()));
    m_ui->GraphicProg->setAccessibleDescription(m_ui->GraphicProg->toolTip());
    // Without a diagnosis the box keeps whatever it showed before.
    if (report.diagnosis)
        m_ui->DiagnosisTxt->setPlainText(*report.diagnosis);

    // A screen reader reads a window's description when the window comes up, so the result is
    // heard at once, before the focused button: the percentage, the diagnosis and the summary
    // line, as shown.
    setAccessibleDescription(m_ui->GraphicProg->toolTip() + QStringLiteral(". ")
                             + m_ui->DiagnosisTxt->toPlainText().trimmed() + u' '
                             + report.summaryLine);
}

} // namespace forms
