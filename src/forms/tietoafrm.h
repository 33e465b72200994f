#pragma once

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
    explicit TietoaFrm(QWidget* parent = nullptr);
    ~TietoaFrm() override;

Q_SIGNALS:
    void dismissed(); // "OK" or the close box

private:
    std::unique_ptr<Ui::TietoaFrm> m_ui;
};

} // namespace forms
