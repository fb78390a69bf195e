#pragma once

class QLineEdit;
class QWidget;

namespace kestrune {

// The controls Form1's labels name.
struct LabelledControls
{
    QLineEdit *forumName;
    QLineEdit *fromRank;
    QLineEdit *toRank;
    QLineEdit *delay;
    QWidget *delayArrows;
};

// Places Form1's labels, each the buddy of the control it names, and gives
// every control the name a screen reader says.
void PlaceLabels(QWidget *form, const LabelledControls &controls);

} // namespace kestrune
