#include "about_dialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "program_images.h"

namespace {

QLabel* NewPicture(const QIcon& image, QSize size, const QString& name, qreal pixelRatio) {
    auto* picture = new QLabel;
    picture->setPixmap(image.pixmap(size, pixelRatio));
    picture->setAlignment(Qt::AlignCenter);
    picture->setAccessibleName(name);
    return picture;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    const QString version = QCoreApplication::applicationVersion();
    setWindowTitle(tr("About Tarrowby Companion"));
    setAccessibleName(tr("About Tarrowby Companion %1").arg(version));

    auto* name = new QLabel(tr("Tarrowby Companion"));
    name->setAlignment(Qt::AlignCenter);
    auto* versionLine = new QLabel(tr("Version %1").arg(version));
    versionLine->setAlignment(Qt::AlignCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        NewPicture(ApplicationIcon(), QSize(32, 32), tr("Tarrowby Companion"), devicePixelRatioF()));
    layout->addWidget(name);
    layout->addWidget(versionLine);
    layout->addWidget(buttons);
    // The strip is a decoration: no name for a reader.
    layout->addWidget(NewPicture(ProgramImage("about_strip"), QSize(86, 7), QString(), devicePixelRatioF()));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
