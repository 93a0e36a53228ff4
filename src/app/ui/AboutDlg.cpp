#include "app/ui/AboutDlg.h"

#include "app/ui/ProductPicture.h"

#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace torvm::ui {

namespace {

// The picture covers the dialog; clicking it closes the box as "Ok" does.
class PictureButton : public QAbstractButton {
public:
    explicit PictureButton(QWidget* parent)
        : QAbstractButton(parent)
    {
        setFocusPolicy(Qt::NoFocus);
        setFixedSize(400, 220);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        paintProductPicture(painter, rect());
    }
};

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Info über Velmarik Wettkampfverwaltung"));
    auto* picture = new PictureButton(this);
    picture->setAccessibleName(productLine());
    picture->setToolTip(productLine() + QStringLiteral(" – ein Klick schließt dieses Fenster"));
    auto* ok = new QPushButton(QStringLiteral("Ok"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(picture, &QAbstractButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(8, 0, 8, 8);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(picture);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace torvm::ui
