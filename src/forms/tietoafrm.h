#pragma once

#include "forms/formstyle.h"

#include <QWidget>

#include <memory>

namespace forms {

namespace Ui {
class TietoaFrm;
}

// The About window: the program's name, its makers and their address. "OK" closes it.
class TietoaFrm : public QWidget {
    Q_OBJECT

public:
    // The window's client area, fixed.
    static constexpr QSize clientSize{fromTwips(4335), fromTwips(3510)};

    explicit TietoaFrm(QWidget* parent = nullptr);
    ~TietoaFrm() override;

Q_SIGNALS:
    void dismissed(); // "OK" or the close box

private:
    std::unique_ptr<Ui::TietoaFrm> m_ui;
};

} // namespace forms
