#include "tessary_lookup_dialog.h"

#include <QGridLayout>
#include <QPushButton>

#include "announcer.h"
#include "core_text.h"
#include "digit_field.h"
#include "station_queries.h"

TessaryLookupDialog::TessaryLookupDialog(const StationTable& stations, QWidget* parent)
    : QDialog(parent), m_stations(stations), m_number(new DigitField), m_station(new AnnouncedLabel) {
    setWindowTitle(tr("Tessary Lookup"));
    m_number->setAccessibleName(tr("Tessary Number"));
    auto* caption = new QLabel(tr("Tessary\nNumber"));
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    caption->setBuddy(m_number);
    auto* lookup = new QPushButton(tr("Lookup"));
    lookup->setDefault(true);  // Enter in the field looks up too

    m_station->setAlignment(Qt::AlignCenter);
    m_station->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // Room for every answer: each station's name, and the range message.
    for (int number = 0; number <= NUM_STATIONS; ++number)
        m_station->reserveRoomFor(FromCore(LookupStationText(ToCore(QString::number(number)), m_stations)));

    auto* grid = new QGridLayout(this);
    grid->addWidget(caption, 0, 0);
    grid->addWidget(m_number, 0, 1);
    grid->addWidget(lookup, 0, 2);
    grid->addWidget(m_station, 1, 0, 1, 3);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(lookup, &QPushButton::clicked, this, &TessaryLookupDialog::lookup);
    m_number->setFocus();
}

void TessaryLookupDialog::lookup() {
    m_station->announce(FromCore(LookupStationText(ToCore(m_number->text()), m_stations)));
}
