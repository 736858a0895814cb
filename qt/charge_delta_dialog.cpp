#include "charge_delta_dialog.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>

#include "announcer.h"
#include "core_text.h"
#include "station_order.h"
#include "station_queries.h"

namespace {

AnnouncedLabel* NewFigure(const QString& name) {
    auto* figure = new AnnouncedLabel(name);
    figure->setAlignment(Qt::AlignCenter);
    figure->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    figure->reserveRoomFor(QStringLiteral("-100"));
    return figure;
}

QLabel* NewCaption(const QString& text, QWidget* buddy) {
    auto* caption = new QLabel(text);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caption->setBuddy(buddy);
    return caption;
}

}  // namespace

ChargeDeltaDialog::ChargeDeltaDialog(const StationTable& stations, QWidget* parent)
    : QDialog(parent),
      m_stations(stations),
      m_from(new QComboBox),
      m_to(new QComboBox),
      m_fromCurrent(NewFigure(tr("From current"))),
      m_toCurrent(NewFigure(tr("To current"))),
      m_delta(NewFigure(tr("Delta"))) {
    setWindowTitle(tr("Charge Delta Calculator"));
    // Each entry carries its station's index: its place in the list is not
    // the station's place in the table.
    for (const int station : StationListOrder(m_stations)) {
        const QString name = FromCore(m_stations.GetStationName(station));
        m_from->addItem(name, station);
        m_to->addItem(name, station);
    }
    m_from->setAccessibleName(tr("From"));
    m_to->setAccessibleName(tr("To"));
    // Nothing chosen yet: both lists and all three figures blank.
    m_from->setCurrentIndex(-1);
    m_to->setCurrentIndex(-1);

    auto* grid = new QGridLayout(this);
    grid->addWidget(NewCaption(tr("From"), m_from), 0, 0);
    grid->addWidget(m_from, 0, 1);
    grid->addWidget(m_fromCurrent, 0, 2);
    grid->addWidget(NewCaption(tr("To"), m_to), 1, 0);
    grid->addWidget(m_to, 1, 1);
    grid->addWidget(m_toCurrent, 1, 2);
    auto* rule = new QFrame;
    rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    grid->addWidget(rule, 2, 1, 1, 2);
    grid->addWidget(NewCaption(tr("Delta ="), nullptr), 3, 1);
    grid->addWidget(m_delta, 3, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_from, &QComboBox::currentIndexChanged, this, [this] {
        AnnounceChosenEntry(*m_from);
        showCurrent(*m_from, *m_fromCurrent);
        updateDelta();
    });
    connect(m_to, &QComboBox::currentIndexChanged, this, [this] {
        AnnounceChosenEntry(*m_to);
        showCurrent(*m_to, *m_toCurrent);
        updateDelta();
    });
    setTabOrder(m_from, m_to);
    m_from->setFocus();
}

// A list left with no entry chosen changes no current.
void ChargeDeltaDialog::showCurrent(const QComboBox& list, AnnouncedLabel& current) {
    bool isNumber = false;
    const int station = list.currentData().toInt(&isNumber);
    if (!isNumber || station < 0 || station >= NUM_STATIONS) return;
    current.announce(FromCore(CurrentText(m_stations.GetStationCurrent(station))));
}

// The delta stays blank until both sides show a current.
void ChargeDeltaDialog::updateDelta() {
    CString delta;
    if (DeltaText(ToCore(m_fromCurrent->text()), ToCore(m_toCurrent->text()), delta))
        m_delta->announce(FromCore(delta));
}
