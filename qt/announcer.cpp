#include "announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QElapsedTimer>
#include <QStatusBar>
#include <QTimer>

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
namespace {

// Qt before 6.8 has no announcement, and Orca before 47 speaks no name change
// but the focused object's (a label's it drops for its role, a list's as
// redundant). What Orca speaks wherever the focus is, is a notification that
// shows: its name, read then; in a status bar, that name alone, outside any
// window (no dialog title and no role before it). So each source of news has
// a notice of its own, never drawn, in a status bar never shown, renamed and
// shown for each piece of news: a notice shared by two labels could carry the
// second's figure by the time the reader reads the first's.
const QLatin1String kNotice("tarrowby_notice");

QAccessibleInterface* NoticeAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("QWidget") && object->objectName() == kNotice)
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    return nullptr;
}

void ShowNotice(QObject& source, const QString& spoken) {
    if (!QAccessible::isActive()) return;  // no reader, nothing to tell
    static QStatusBar* const bar = [] {
        QAccessible::installFactory(NoticeAccessible);
        return new QStatusBar;
    }();
    auto* notice = source.property(kNotice.data()).value<QWidget*>();
    if (!notice) {
        notice = new QWidget(bar);
        notice->setObjectName(kNotice);
        QObject::connect(&source, &QObject::destroyed, notice, &QObject::deleteLater);
        source.setProperty(kNotice.data(), QVariant::fromValue(notice));
    }
    notice->setAccessibleName(spoken);
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

}  // namespace
#endif

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
namespace {

// Readers speak an announcement wherever the focus is. Orca takes one that
// comes from the same program within 0.1 s of the last for a repeat and drops
// it ("Ignoring object:announcement due to multiple instances in short time"),
// timed as it receives them: news that come together, a figure and the
// delta, go 0.3 s apart, room for the bus and a busy reader to bunch them.
void Announce(QWidget& label, const QString& spoken) {
    constexpr qint64 kGapMs = 300;
    static QElapsedTimer clock;
    static qint64 nextFree = 0;
    if (!clock.isValid()) clock.start();
    const qint64 now = clock.elapsed(), wait = qMax<qint64>(0, nextFree - now);
    nextFree = now + wait + kGapMs;
    const auto send = [&label, spoken] {
        QAccessibleAnnouncementEvent announcement(&label, spoken);
        QAccessible::updateAccessibility(&announcement);
    };
    if (wait == 0)
        send();
    else
        QTimer::singleShot(wait, &label, send);  // dropped with the label
}

}  // namespace
#endif

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
    Announce(*this, spoken);
#else
    ShowNotice(*this, spoken);
#endif
    emit announced(spoken);
}

void AnnounceChosenEntry(QComboBox& list) {
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    // A popup list Orca follows itself, entry by entry. (A focus moved to the
    // chosen entry would be spoken too, but Orca 43 then walks every entry of
    // the list, six seconds for 295.)
    if (list.hasFocus() && list.currentIndex() >= 0) ShowNotice(list, list.currentText());
#else
    Q_UNUSED(list);
#endif
}
