#include "announcer.h"

#include <QAccessible>

AnnouncedLabel::AnnouncedLabel(const QString& figureName, QWidget* parent)
    : QLabel(parent), m_figureName(figureName) {
    // "&" and line feeds show, and are read, as they are.
    setTextFormat(Qt::PlainText);
    if (!m_figureName.isEmpty()) setAccessibleName(m_figureName);
}

QString AnnouncedLabel::spokenText(const QString& shown) const {
    if (m_figureName.isEmpty()) return shown;
    return shown.isEmpty() ? m_figureName : m_figureName + QLatin1Char(' ') + shown;
}

// Measured, not shown: a label without a name of its own tells readers of
// every new text, which would be noise at each opening. Measured as the label
// measures itself: its text, margins and frame, and, beside a frame with no
// indent set, an "x" of room along each way the text is aligned to an edge.
void AnnouncedLabel::reserveRoomFor(const QString& other) {
    const QFontMetrics metrics = fontMetrics();
    const Qt::Alignment edges = alignment() & ~(Qt::AlignHCenter | Qt::AlignVCenter);
    QSize room = metrics.boundingRect(0, 0, 2000, 2000, edges, other).size() + QSize(2, 2) * margin();
    const int inset = indent() < 0 && frameWidth()
                          ? metrics.horizontalAdvance(QLatin1Char('x')) - 2 * margin()
                          : qMax(indent(), 0);
    if (edges & (Qt::AlignLeft | Qt::AlignRight)) room.rwidth() += inset;
    if (edges & (Qt::AlignTop | Qt::AlignBottom)) room.rheight() += inset;
    setMinimumSize(minimumSize().expandedTo(room.grownBy(contentsMargins())));
}

void AnnouncedLabel::announce(const QString& newText) {
    if (newText == text()) return;
    // A reader reads the label by its name, which so always carries the text.
    // Qt tells readers of a new name itself, with one NameChanged event, which
    // its AT-SPI bridge passes on as the name's property change; named first,
    // the label says nothing more of its new text. A text change event would
    // be dropped there: Qt 6.4's labels offer no text interface.
    const QString spoken = spokenText(newText);
    setAccessibleName(spoken);
    setText(newText);
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Readers speak an announcement wherever the focus is.
    QAccessibleAnnouncementEvent announcement(this, spoken);
    QAccessible::updateAccessibility(&announcement);
#endif
    emit announced(spoken);
}
