// The labels that show the tools' answers and figures. Every new text goes
// through announce(), so that what a screen reader is told of it, and how, is
// decided here alone.
#pragma once

#include <QLabel>

class QComboBox;

class AnnouncedLabel : public QLabel {
    Q_OBJECT

public:
    // With a `figureName` the label is read as that name followed by what it
    // shows ("Delta -31"; just "Delta" while blank); without one, as exactly
    // what it shows.
    explicit AnnouncedLabel(const QString& figureName = QString(), QWidget* parent = nullptr);

    // Keeps room for `text` too (lines and all), whatever the label shows.
    void reserveRoomFor(const QString& text);

    // Shows `text` and tells screen readers of it, once: the same text again
    // says nothing.
    void announce(const QString& text);

signals:
    // Readers have been told; `spoken` is what they were given to read.
    void announced(const QString& spoken);

private:
    QString spokenText(const QString& shown) const;

    const QString m_figureName;
};

// Tells screen readers of the entry just chosen with the keys in `list`,
// closed and with the focus. Orca 47 and later speak the focused list's new
// name, which Qt sends itself; before Qt 6.8 the list is also given a notice,
// as a label's news are (see announcer.cpp).
void AnnounceChosenEntry(QComboBox& list);
