#include "forms/tietoafrm.h"
#include "ui_tietoafrm.h"

#include "forms/accessibility.h"
#include "forms/closebox.h"
#include "forms/formstyle.h"
#include "version.h"

namespace forms {

TietoaFrm::TietoaFrm(QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::TietoaFrm>())
{
    forms::useAccessibleInterfaces();
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral(AHNEMETRI_TITLE " - Tietoa"));
    m_ui->OtsikkoLbl->setText(QStringLiteral(AHNEMETRI_TITLE));
    m_ui->OtsikkoLbl->setToolTip(QStringLiteral(AHNEMETRI_TITLE));
    forms::makeFixedWindow(*this, clientSize);

    setFont(verdana(8.25));
    m_ui->OtsikkoLbl->setFont(verdana(14.25, FontStyle::Underlined));
    QPalette red = m_ui->OtsikkoLbl->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    m_ui->OtsikkoLbl->setPalette(red);
    m_ui->KoodariLbl->setFont(verdana(8.25, FontStyle::ItalicUnderlined));
    m_ui->SuunnittelijaLbl->setFont(verdana(8.25, FontStyle::ItalicUnderlined));

    // The makers' names tell what they are in their tooltips; the address has none.
    m_ui->URLLbl->setAccessibleDescription(QStringLiteral("Tekijöiden verkko-osoite"));

    connect(m_ui->OKcmd, &QPushButton::clicked, this, &TietoaFrm::dismissed);
    connect(new forms::CloseBox(*this), &forms::CloseBox::requested, this, &TietoaFrm::dismissed);
}

TietoaFrm::~TietoaFrm() = default;

} // namespace forms
