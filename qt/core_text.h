// Between Qt's text and the station core's 8-bit CString. The core's names
// and messages are plain ASCII; what a user puts in a field goes over as it
// stands, for the core to read by its own rules.
#pragma once

#include <QString>

#include "afxstr.h"

inline CString ToCore(const QString& text) {
    return CString(text.toUtf8().constData());
}

inline QString FromCore(const CString& text) {
    return QString::fromUtf8(static_cast<const char*>(text));
}
