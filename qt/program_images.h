// The program's icons and its About strip, compiled in (images.qrc), each
// at 1x and pixel-doubled at 2x.
#pragma once

#include <QIcon>

// The application icon, 16 and 32 pixels.
QIcon ApplicationIcon();

// An image by its source name (res/images/NAME.txt): "charge_delta", "about_strip".
QIcon ProgramImage(const char* name);
