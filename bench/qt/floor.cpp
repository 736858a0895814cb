// The same-work floor for the native bench: the launcher, its four tools and
// the About box as tarrowby shows them, written the straight way in Qt
// Widgets over the same compiled-in images and the same core. The buttons
// carry their tools' names; nothing else is done for screen readers beyond
// what Qt does by itself. What tarrowby spends beyond this is what its own
// way of doing the same work costs.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QVBoxLayout>

#include "station_order.h"
#include "station_queries.h"

namespace {

StationTable g_stations;

QString Shown(const CString& text) {
    return QString::fromUtf8(static_cast<const char*>(text));
}

CString Typed(const QString& text) {
    return CString(text.toUtf8().constData());
}

QIcon Image(const QString& name) {
    QIcon icon;
    icon.addFile(":/images/" + name + ".png");
    icon.addFile(":/images/" + name + "@2x.png");
    return icon;
}

QLabel* Sunken(Qt::Alignment alignment) {
    auto* label = new QLabel;
    label->setAlignment(alignment);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* Caption(const QString& text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* caption = new QLabel(text);
    caption->setAlignment(alignment);
    return caption;
}

QFrame* Rule(QFrame::Shape shape) {
    auto* rule = new QFrame;
    rule->setFrameStyle(shape | QFrame::Sunken);
    return rule;
}

// A label as large as the largest of these texts.
void MakeRoom(QLabel* label, const QStringList& texts) {
    QSize room;
    for (const QString& text : texts) {
        label->setText(text);
        room = room.expandedTo(label->sizeHint());
    }
    label->clear();
    label->setMinimumSize(room);
}

void ChargeDelta(QWidget* owner) {
    QDialog dialog(owner);
    dialog.setWindowTitle("Charge Delta Calculator");
    auto* from = new QComboBox;
    auto* to = new QComboBox;
    for (const int station : StationListOrder(g_stations)) {
        const QString name = Shown(g_stations.GetStationName(station));
        from->addItem(name, station);
        to->addItem(name, station);
    }
    from->setCurrentIndex(-1);
    to->setCurrentIndex(-1);
    QLabel* fromCurrent = Sunken(Qt::AlignCenter);
    QLabel* toCurrent = Sunken(Qt::AlignCenter);
    QLabel* delta = Sunken(Qt::AlignCenter);
    for (QLabel* figure : {fromCurrent, toCurrent, delta}) MakeRoom(figure, {"-100"});

    auto* grid = new QGridLayout(&dialog);
    grid->addWidget(Caption("From", Qt::AlignRight | Qt::AlignVCenter), 0, 0);
    grid->addWidget(from, 0, 1);
    grid->addWidget(fromCurrent, 0, 2);
    grid->addWidget(Caption("To", Qt::AlignRight | Qt::AlignVCenter), 1, 0);
    grid->addWidget(to, 1, 1);
    grid->addWidget(toCurrent, 1, 2);
    grid->addWidget(Rule(QFrame::HLine), 2, 1, 1, 2);
    grid->addWidget(Caption("Delta =", Qt::AlignRight | Qt::AlignVCenter), 3, 1);
    grid->addWidget(delta, 3, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    auto show = [&](QComboBox* list, QLabel* current) {
        if (list->currentIndex() >= 0)
            current->setText(Shown(CurrentText(g_stations.GetStationCurrent(list->currentData().toInt()))));
        CString text;
        if (DeltaText(Typed(fromCurrent->text()), Typed(toCurrent->text()), text))
            delta->setText(Shown(text));
    };
    QObject::connect(from, &QComboBox::currentIndexChanged, [&] { show(from, fromCurrent); });
    QObject::connect(to, &QComboBox::currentIndexChanged, [&] { show(to, toCurrent); });
    from->setFocus();
    dialog.exec();
}

// A field with room for five digits, or as wide as its column.
QLineEdit* DigitField() {
    auto* field = new QLineEdit;
    field->setAlignment(Qt::AlignCenter);
    field->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), field));
    // The line edit's hint counts seventeen letters and its two inner margins of 2.
    const QFontMetrics metrics = field->fontMetrics();
    field->setMinimumWidth(field->sizeHint().width() - 17 * metrics.horizontalAdvance('x') - 4 +
                           metrics.horizontalAdvance("00000"));
    field->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    return field;
}

void CurrentFinder(QWidget* owner) {
    QDialog dialog(owner);
    dialog.setWindowTitle("Station Current Finder");
    QLineEdit* current = DigitField();
    auto* find = new QPushButton("Find");
    find->setDefault(true);
    QLabel* found = Sunken(Qt::AlignLeft | Qt::AlignTop);
    QStringList answers;
    for (int value = 0; value <= MAX_CURRENT; ++value)
        answers << Shown(FindStationsText(Typed(QString::number(value)), g_stations));
    MakeRoom(found, answers);

    auto* grid = new QGridLayout(&dialog);
    grid->addWidget(Caption("Current"), 0, 0);
    grid->addWidget(current, 1, 0);
    grid->setRowStretch(2, 1);
    grid->addWidget(find, 3, 0);
    grid->addWidget(found, 0, 1, 4, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    QObject::connect(find, &QPushButton::clicked,
                     [&] { found->setText(Shown(FindStationsText(Typed(current->text()), g_stations))); });
    current->setFocus();
    dialog.exec();
}

void TessaryLookup(QWidget* owner) {
    QDialog dialog(owner);
    dialog.setWindowTitle("Tessary Lookup");
    QLineEdit* number = DigitField();
    auto* lookup = new QPushButton("Lookup");
    lookup->setDefault(true);
    QLabel* station = Sunken(Qt::AlignCenter);
    QStringList answers;
    for (int value = 0; value <= NUM_STATIONS; ++value)
        answers << Shown(LookupStationText(Typed(QString::number(value)), g_stations));
    MakeRoom(station, answers);

    auto* grid = new QGridLayout(&dialog);
    grid->addWidget(Caption("Tessary\nNumber", Qt::AlignRight | Qt::AlignVCenter), 0, 0);
    grid->addWidget(number, 0, 1);
    grid->addWidget(lookup, 0, 2);
    grid->addWidget(station, 1, 0, 1, 3);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    QObject::connect(lookup, &QPushButton::clicked,
                     [&] { station->setText(Shown(LookupStationText(Typed(number->text()), g_stations))); });
    number->setFocus();
    dialog.exec();
}

void TokenTable(QWidget* owner) {
    // Four groups, each ruled off from the next.
    static const char* const kRows[][2] = {
        {"Zone with Pass", "+1 Bronze"},
        {"Two-Line Interchange", "+1 Red"},
        {"Three-Line Interchange", "+1 Black"},
        {"Four-Line Interchange", "+1 Blue"},
        {"Five-plus-Line Interchange", "+1 Silver"},
        {"Passing two Interchanges", "+1 Red"},
        {"Passing three Interchanges", "+1 Black"},
        {"Passing four Interchanges", "+1 Blue"},
        {"Passing five Interchanges", "+1 Silver"},
        {"Not changing Line", "+1 Black"},
        {"Passing", "+2 Red/Blue/Black"},
    };
    const int kGroupStarts[] = {0, 1, 5, 9, 11};
    QDialog dialog(owner);
    dialog.setWindowTitle("Token Collection Table");
    auto* card = new QFrame;
    card->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* grid = new QGridLayout(card);
    int row = 0;
    for (int group = 0; group < 4; ++group) {
        if (group) grid->addWidget(Rule(QFrame::HLine), row++, 0, 1, 3);
        const int rows = kGroupStarts[group + 1] - kGroupStarts[group];
        grid->addWidget(Rule(QFrame::VLine), row, 1, rows, 1);
        for (int i = kGroupStarts[group]; i < kGroupStarts[group + 1]; ++i, ++row) {
            grid->addWidget(new QLabel(kRows[i][0]), row, 0, Qt::AlignRight);
            grid->addWidget(new QLabel(kRows[i][1]), row, 2, Qt::AlignLeft);
        }
    }
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(card);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    dialog.exec();
}

QLabel* Picture(const QIcon& image, QSize size, qreal pixelRatio) {
    auto* picture = new QLabel;
    picture->setPixmap(image.pixmap(size, pixelRatio));
    picture->setAlignment(Qt::AlignCenter);
    return picture;
}

void About(QWidget* owner) {
    QDialog dialog(owner);
    dialog.setWindowTitle("About Tarrowby Companion");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->setCenterButtons(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(Picture(owner->windowIcon(), QSize(32, 32), dialog.devicePixelRatioF()));
    layout->addWidget(Caption("Tarrowby Companion", Qt::AlignCenter));
    layout->addWidget(Caption("Version " + QApplication::applicationVersion(), Qt::AlignCenter));
    layout->addWidget(buttons);
    layout->addWidget(Picture(Image("about_strip"), QSize(86, 7), dialog.devicePixelRatioF()));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    dialog.exec();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication::setApplicationName("tarrowby");
    QApplication::setApplicationVersion(TARROWBY_VERSION);
    QGuiApplication::setDesktopFileName("io.github.tarrowby.companion");
    QApplication app(argc, argv);
    g_stations.FillStationTable();

    QMainWindow launcher;
    launcher.setWindowTitle("Tarrowby Companion");
    QIcon icon = Image("app_icon_16");
    icon.addFile(":/images/app_icon_32.png");
    icon.addFile(":/images/app_icon_32@2x.png");
    launcher.setWindowIcon(icon);  // the dialogs, its children, show it too
    const struct {
        const char* icon;
        const char* name;
        const char* description;
        void (*open)(QWidget*);
    } kTools[] = {
        {"charge_delta", "Charge Delta Calculator",
         "Calculate the Current differential\nbetween two Stations", ChargeDelta},
        {"current_finder", "Station Current Finder", "Find all Stations with a specified\nCurrent",
         CurrentFinder},
        {"tessary_lookup", "Tessary Lookup", "Look up a Station from its\nTessary Number", TessaryLookup},
        {"token_table", "Token Collection Table", "Summary of Tokens claimable\nafter each Move", TokenTable},
    };
    auto* central = new QWidget;
    auto* grid = new QGridLayout(central);
    for (int i = 0; i < 4; ++i) {
        auto* button = new QPushButton;
        button->setIcon(Image(kTools[i].icon));
        button->setIconSize(QSize(32, 32));
        button->setAccessibleName(kTools[i].name);
        button->setAutoDefault(true);
        QObject::connect(button, &QPushButton::clicked,
                         [&launcher, open = kTools[i].open] { open(&launcher); });
        grid->addWidget(button, 2 * i, 0, 2, 1, Qt::AlignTop);
        auto* title = Sunken(Qt::AlignCenter);
        title->setText(kTools[i].name);
        grid->addWidget(title, 2 * i, 1);
        grid->addWidget(new QLabel(kTools[i].description), 2 * i + 1, 1, Qt::AlignTop);
        if (i == 0) button->setFocus();
    }
    launcher.setCentralWidget(central);
    launcher.layout()->setSizeConstraint(QLayout::SetFixedSize);
    launcher.menuBar()->addMenu("&Help")->addAction("&About Tarrowby...", [&] { About(&launcher); });
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_Escape), &launcher), &QShortcut::activated, &launcher,
                     &QWidget::close);
    launcher.show();
    return app.exec();
}
