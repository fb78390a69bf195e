#pragma once

#include <QIcon>

namespace kestrune {

// The window's icon in every size it ships in, from the library's resources.
QIcon ApplicationIcon();

} // namespace kestrune
