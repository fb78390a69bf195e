#pragma once

#include <QLineEdit>

namespace kestrune {

// A rank box narrower than the longest ranks: away from the cursor it shows
// the start of its text, and the whole text as its tool tip while it does not
// fit.
class RankBox final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RankBox)

public:
    explicit RankBox(QWidget *parent = nullptr);
    ~RankBox() override;

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void OnTextChanged();
    void UpdateToolTip();
};

} // namespace kestrune
