#include "announcer.h"

#include <QAccessible>

AnnouncedLabel::AnnouncedLabel(const QString& figureName, QWidget* parent)
    : QLabel(parent), m_figureName(figureName) {
    // "&" and line feeds show, and are read, as they are.
    setTextFormat(Qt::PlainText);
    setAccessibleName(spokenText());
}

QString AnnouncedLabel::spokenText() const {
    if (m_figureName.isEmpty()) return text();
    return text().isEmpty() ? m_figureName : m_figureName + QLatin1Char(' ') + text();
}

void AnnouncedLabel::reserveRoomFor(const QString& other) {
    const QString shown = text();
    setText(other);
    setMinimumSize(minimumSize().expandedTo(sizeHint()));
    setText(shown);
}

void AnnouncedLabel::announce(const QString& newText) {
    if (newText == text()) return;
    setText(newText);
    // A reader reads the label by its name, which so always carries the text.
    // Qt tells readers of a new name itself (a NameChanged event), which its
    // AT-SPI bridge passes on as the name's property change. A text change
    // event would be dropped there: Qt 6.4's labels offer no text interface.
    setAccessibleName(spokenText());
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Readers speak an announcement wherever the focus is.
    QAccessibleAnnouncementEvent announcement(this, spokenText());
    QAccessible::updateAccessibility(&announcement);
#endif
    emit announced(spokenText());
}
