#pragma once

class QKeyEvent;

namespace kestrune {

// Only some platforms turn Shift+F10 into a menu request: this sends it to
// the focused control as the Menu key would, so a box keeps its own menu.
// True when the key was one.
bool SendMenuRequestForKey(const QKeyEvent *event);

} // namespace kestrune
