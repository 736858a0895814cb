#include "program_images.h"

namespace {

void AddBothScales(QIcon& icon, const char* name) {
    const QString path = QStringLiteral(":/images/") + QLatin1String(name);
    icon.addFile(path + QStringLiteral(".png"));
    icon.addFile(path + QStringLiteral("@2x.png"));
}

}  // namespace

QIcon ApplicationIcon() {
    QIcon icon;
    AddBothScales(icon, "app_icon_16");
    AddBothScales(icon, "app_icon_32");
    return icon;
}

QIcon ProgramImage(const char* name) {
    QIcon icon;
    AddBothScales(icon, name);
    return icon;
}
