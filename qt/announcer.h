// The labels that show the tools' answers and figures. Every new text goes
// through announce(), so that what a screen reader is told of it, and how, is
// decided here alone.
#pragma once

#include <QLabel>

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
    QString spokenText() const;

    const QString m_figureName;
};
