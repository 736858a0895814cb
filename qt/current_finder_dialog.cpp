#include "current_finder_dialog.h"

#include <QGridLayout>
#include <QPushButton>

#include "announcer.h"
#include "core_text.h"
#include "digit_field.h"
#include "station_queries.h"

CurrentFinderDialog::CurrentFinderDialog(const StationTable& stations, QWidget* parent)
    : QDialog(parent), m_stations(stations), m_current(new DigitField), m_found(new AnnouncedLabel) {
    setWindowTitle(tr("Station Current Finder"));
    m_current->setAccessibleName(tr("Current"));
    auto* caption = new QLabel(tr("Current"));
    caption->setBuddy(m_current);
    auto* find = new QPushButton(tr("Find"));
    find->setDefault(true);  // Enter in the field finds too

    m_found->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_found->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    // Room for every list it can show: up to seven stations share a current.
    for (int current = 0; current <= MAX_CURRENT; ++current)
        m_found->reserveRoomFor(FromCore(FindStationsText(ToCore(QString::number(current)), m_stations)));

    auto* grid = new QGridLayout(this);
    grid->addWidget(caption, 0, 0);
    grid->addWidget(m_current, 1, 0);
    grid->setRowStretch(2, 1);
    grid->addWidget(find, 3, 0);
    grid->addWidget(m_found, 0, 1, 4, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(find, &QPushButton::clicked, this, &CurrentFinderDialog::find);
    m_current->setFocus();
}

void CurrentFinderDialog::find() {
    m_found->announce(FromCore(FindStationsText(ToCore(m_current->text()), m_stations)));
}
