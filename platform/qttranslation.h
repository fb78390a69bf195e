#pragma once

namespace kestrune {

// Makes Qt's own texts Chinese (the message box's 确定, the command line's
// usage errors) whatever the system's language: the system's copy of Qt's
// translation when there is one, else the copy built into the program.
void InstallQtTranslation();

} // namespace kestrune
