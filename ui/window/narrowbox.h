#pragma once

#include <QLineEdit>

namespace kestrune {

// A box narrower than some of the texts it takes (long ranks, a forum name
// in large CJK type): away from the cursor it shows the start of its text,
// and the whole text as its tool tip while it does not fit.
class NarrowBox final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NarrowBox)

public:
    explicit NarrowBox(QWidget *parent = nullptr);
    ~NarrowBox() override;

    // Read-only with its text greyed and `why` leading its tool tip, or
    // back again.
    void Lock(bool locked, const QString &why = {});

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void OnTextChanged();
    void UpdateToolTip();

    QString lockedWhy_; // empty while unlocked
};

} // namespace kestrune
