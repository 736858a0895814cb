// The native program's windows, used as their user uses them: keys typed,
// text pasted or set by an assistive tool, buttons clicked, lists picked.

#include <QtTest>
#include <QtWidgets>
#include <functional>
#include <span>

#include "about_dialog.h"
#include "announcer.h"
#include "cases/station_tool_cases.h"
#include "charge_delta_dialog.h"
#include "companion_window.h"
#include "current_finder_dialog.h"
#include "digit_field.h"
#include "tessary_lookup_dialog.h"
#include "token_table_dialog.h"

namespace {

// Puts the question's text into the number field as it says, then asks.
void Ask(QDialog& dialog, const cases::Question& question, bool byAssistiveTool = false) {
    auto* field = dialog.findChild<DigitField*>();
    const QString text = QString::fromUtf8(question.text);
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (question.entry == cases::Entry::Typed) {
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, text);
    } else if (byAssistiveTool) {  // AT-SPI's SetTextContents, past the keys
        QAccessible::queryAccessibleInterface(field)->editableTextInterface()->replaceText(
            0, field->text().size(), text);
    } else {
        QGuiApplication::clipboard()->setText(text);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    }
    QCOMPARE(field->text(), text);
    if (question.trigger == cases::Trigger::EnterKey) QTest::keyClick(field, Qt::Key_Return);
    if (question.trigger == cases::Trigger::Button)
        QTest::mouseClick(dialog.findChild<QPushButton*>(), Qt::LeftButton);
    if (question.trigger == cases::Trigger::TabSpace) {
        QTest::keyClick(field, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    }
}

void ExpectQueryDialog(QDialog& dialog, std::span<const cases::Question> typed,
                       std::span<const cases::Question> pasted) {
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* field = dialog.findChild<DigitField*>();
    QCOMPARE(QApplication::focusWidget(), field);
    auto* answer = dialog.findChild<AnnouncedLabel*>();
    QSignalSpy announced(answer, &AnnouncedLabel::announced);
    for (int again = 0; again < 2; ++again)
        Ask(dialog, typed[0]);  // the same question twice says nothing new
    QCOMPARE(announced, (QList<QVariantList>{{QString::fromUtf8(typed[0].answer)}}));

    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, QStringLiteral("a4x3 -+!"));
    QCOMPARE(field->text(), QStringLiteral("43"));  // letters, signs and spaces typed are dropped
    for (const bool byAssistiveTool : {false, true}) {
        for (const auto& questions : {typed, pasted}) {
            for (const cases::Question& question : questions) {
                Ask(dialog, question, byAssistiveTool);
                QCOMPARE(answer->text(), QString::fromUtf8(question.answer));
                QCOMPARE(answer->accessibleName(), answer->text());  // read as shown, "&" and lines included
            }
        }
    }
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QTRY_VERIFY(!dialog.isVisible());
}

// Picks a station as a person does: the list dropped with a click, the entry clicked.
void Pick(QComboBox& list, const char* name) {
    QTest::keyClick(&list, Qt::Key_F4);
    QAbstractItemView* view = list.view();
    QTRY_VERIFY(view->isVisible());
    const QModelIndex entry = list.model()->index(list.findText(QString::fromUtf8(name)), 0);
    QVERIFY(entry.isValid());
    view->scrollTo(entry, QAbstractItemView::PositionAtCenter);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(entry).center());
    QTRY_VERIFY(!view->isVisible());
}

// What each figure shows, and how it is read.
QStringList Figures(ChargeDeltaDialog& dialog) {
    QStringList shown;
    for (const AnnouncedLabel* figure : dialog.findChildren<AnnouncedLabel*>())
        shown << figure->text() << figure->accessibleName();
    return shown;
}

// Runs `open`, which should open a modal dialog; returns its title, having closed it with Esc.
QString TitleOfDialogOpenedBy(const std::function<void()>& open) {
    QString title;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&title] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            title = modal->windowTitle();
            QTest::keyClick(modal, Qt::Key_Escape);
        }
    });
    watcher.start(10);
    open();
    return title;
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QCoreApplication::setApplicationVersion(QStringLiteral(TARROWBY_VERSION));
        stations.FillStationTable();
    }

    // Titles: the launcher's test opens each tool by its button.
    void currentFinderAnswersAsTheDriverAsks() {
        CurrentFinderDialog dialog(stations);
        ExpectQueryDialog(dialog, cases::kFinderTyped, cases::kFinderPasted);
    }

    void tessaryLookupAnswersAsTheDriverAsks() {
        TessaryLookupDialog dialog(stations);
        ExpectQueryDialog(dialog, cases::kLookupTyped, cases::kLookupPasted);
    }

    void chargeDeltaListsEveryStationAndShowsToMinusFrom() {
        ChargeDeltaDialog dialog(stations);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QStringList expected;  // table order, but Terminal 4 above Terminals 1,2,3
        for (int index = 0; index < NUM_STATIONS; ++index)
            expected << QString::fromUtf8(static_cast<const char*>(stations.GetStationName(index)));
        expected.swapItemsAt(111, 112);
        const QList<QComboBox*> lists = dialog.findChildren<QComboBox*>();
        for (QComboBox* list : lists) {
            QStringList shown;
            for (int entry = 0; entry < list->count(); ++entry) shown << list->itemText(entry);
            QCOMPARE(shown, expected);  // "Crossharbour & London Arena" among them, as it stands
            QCOMPARE(list->currentIndex(), -1);
        }
        QCOMPARE(Figures(dialog), (QStringList{"", "From current", "", "To current", "", "Delta"}));
        QCOMPARE(QApplication::focusWidget()->accessibleName(), QStringLiteral("From"));
        QTest::keyClick(lists[0], Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->accessibleName(), QStringLiteral("To"));

        Pick(*lists[0], "Acton Town");
        QCOMPARE(Figures(dialog), (QStringList{"63", "From current 63", "", "To current", "", "Delta"}));
        for (const cases::Journey& journey : cases::kJourneys) {
            Pick(*lists[0], journey.from);
            Pick(*lists[1], journey.to);
            const QString from = journey.fromCurrent, to = journey.toCurrent, delta = journey.delta;
            QCOMPARE(Figures(dialog), (QStringList{from, "From current " + from, to, "To current " + to,
                                                   delta, "Delta " + delta}));
        }
        // From Acton Town to Aldgate: a new From changes From and the delta alone.
        QSignalSpy announced(dialog.findChildren<AnnouncedLabel*>()[2], &AnnouncedLabel::announced);
        Pick(*lists[0], "Amersham");
        QCOMPARE(Figures(dialog),
                 (QStringList{"100", "From current 100", "32", "To current 32", "-68", "Delta -68"}));
        Pick(*lists[1], "Caledonian Road");  // also 32: nothing new to say
        QCOMPARE(announced, (QList<QVariantList>{{"Delta -68"}}));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTRY_VERIFY(!dialog.isVisible());
    }

    void tokenTableReadsRowByRowInFourGroups() {
        TokenTableDialog dialog;
        QStringList read, expected;  // each text with its group, counted by the rules across
        int group = 1;
        std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
            for (int i = 0; i < node->childCount(); ++i) {
                const auto* rule = qobject_cast<QFrame*>(node->child(i)->object());
                group += rule && rule->frameShape() == QFrame::HLine;
                if (node->child(i)->role() == QAccessible::StaticText)
                    read << QString::number(group) + node->child(i)->text(QAccessible::Name);
                walk(node->child(i));
            }
        };
        walk(QAccessible::queryAccessibleInterface(&dialog));
        for (const cases::TokenRow& row : cases::kTokenRows)
            expected << QString::number(row.group) + row.situation << QString::number(row.group) + row.tokens;
        QCOMPARE(read, expected);
    }

    void aboutBoxNamesTheProgramAndCloses() {
        for (const Qt::Key closer : {Qt::Key_Return, Qt::Key_Escape}) {
            AboutDialog dialog;
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            QCOMPARE(dialog.accessibleName(), QStringLiteral("About Tarrowby Companion 1.0.0.1"));
            QStringList shown;
            for (const QLabel* label : dialog.findChildren<QLabel*>())
                shown << (label->pixmap().isNull() ? label->text() : "picture " + label->accessibleName());
            QCOMPARE(shown,
                     (QStringList{"picture Tarrowby Companion", "Tarrowby Companion", "Version 1.0.0.1",
                                  "picture "}));  // the strip, a decoration, unnamed
            QCOMPARE(qobject_cast<QPushButton*>(QApplication::focusWidget())->text(), QStringLiteral("OK"));
            QTest::keyClick(&dialog, closer);
            QTRY_VERIFY(!dialog.isVisible());
        }
    }

    void launcherOpensEachToolAndTheAboutBox() {
        CompanionWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // Active again once a tool has closed, as a window manager makes it.
        const auto backToLauncher = [&window] {
            window.activateWindow();
            return QTest::qWaitForWindowActive(&window);
        };
        QCOMPARE(window.windowTitle(), QStringLiteral("Tarrowby Companion"));
        // Drawn at 16 and 32, each at 2x too (Qt 6.8 lists a size only once).
        for (int side : {16, 32, 64})
            QVERIFY(window.windowIcon().availableSizes().contains(QSize(side, side)));
        const char* tools[] = {"Charge Delta Calculator", "Station Current Finder", "Tessary Lookup",
                               "Token Collection Table"};
        for (const char* tool : tools) {  // in tab order from the first
            QVERIFY(backToLauncher());
            auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
            QVERIFY(button);
            QCOMPARE(button->accessibleName(), QString::fromUtf8(tool));
            QCOMPARE(button->icon().availableSizes(), (QList<QSize>{{32, 32}, {64, 64}}));
            QCOMPARE(TitleOfDialogOpenedBy([button] { QTest::keyClick(button, Qt::Key_Return); }), tool);
            QTest::keyClick(button, Qt::Key_Tab);
        }
        QCOMPARE(window.menuBar()->actions()[0]->text(), QStringLiteral("&Help"));
        QVERIFY(backToLauncher());
        QCOMPARE(TitleOfDialogOpenedBy([&window] {
                     QTest::keyClick(&window, Qt::Key_H, Qt::AltModifier);
                     QMenu* help = window.menuBar()->findChild<QMenu*>();
                     QTRY_VERIFY(help->isVisible());
                     QCOMPARE(help->actions()[0]->text(), QStringLiteral("&About Tarrowby..."));
                     QTest::keyClick(help, Qt::Key_A);
                 }),
                 QStringLiteral("About Tarrowby Companion"));
        QVERIFY(backToLauncher());
        QTest::keyClick(&window, Qt::Key_Escape);
        QTRY_VERIFY(!window.isVisible());
    }

    // Answered before any window system is asked for.
    void commandLineAnswersHelpAndVersion() {
        for (const auto& [option, firstLine] :
             {std::pair{"--version", "tarrowby " TARROWBY_VERSION},
              std::pair{"--help", "Usage: tarrowby [--help | --version]"}}) {
            QProcess program;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
                environment.remove(name);
            program.setProcessEnvironment(environment);
            program.start(QStringLiteral(TARROWBY_PROGRAM), {option, QStringLiteral("ignored")});
            QVERIFY(program.waitForFinished());
            QCOMPARE(program.exitCode(), 0);
            QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()).section('\n', 0, 0), firstLine);
        }
    }

private:
    StationTable stations;
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
