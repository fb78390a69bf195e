#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QDialogButtonBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace kestrune {

// One setting typed into a box and read as its command-line option reads it,
// or a count set in a spin box in its option's range, with 记住 to store it
// for later runs. It deletes itself on close; open() it
// and take the answer on accepted().
class SettingDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SettingDialog)

public:
    // The value to use, or why the text cannot be used.
    struct Reading
    {
        QString value;
        QString problem; // empty: the text can be used
    };
    using Reader = std::function<Reading(const QString &text)>;

    // The forum's address, as --host reads it.
    static SettingDialog *ForHost(QWidget *parent, const QString &host);
    // A CA file, as --ca-file reads it; an empty box means none.
    static SettingDialog *ForCaFile(QWidget *parent, const QString &caFile);
    // Further tries of a page, as --retries allows.
    static SettingDialog *ForRetries(QWidget *parent, int retries);
    // Seconds a page may take, as --timeout allows.
    static SettingDialog *ForTimeout(QWidget *parent, int seconds);
    ~SettingDialog() override;

    QString Value() const;
    bool Remember() const;

private:
    enum class Field
    {
        Text,
        File,  // with 浏览… and 清除
        Count, // a spin box; no reader
    };
    SettingDialog(QWidget *parent, const QString &title, const QString &prompt, Field field,
                  Reader reader = {});
    struct Count
    {
        int low;
        int high;
        int value;
    };
    static SettingDialog *ForCount(QWidget *parent, const QString &item, const QString &prompt,
                                   Count count, const QString &unit);
    // 浏览… and 清除 beside the box.
    void AddFileButtons(QHBoxLayout &row);
    void Reread();
    // Why the text cannot be used, from now on: once something was typed
    // or chosen, or OK pressed, not while the box waits for its first text.
    void SayProblem();
    // OK: the value, or the problem said and the box to put it right.
    void TryAccept();

    Reader reader_;
    Reading reading_;
    bool problemSaid_ = false;
    QLineEdit *box_;            // children; a text's
    QSpinBox *count_;           // a count's
    QLabel *problem_;           //
    QCheckBox *remember_;       //
    QDialogButtonBox *buttons_; //
};

} // namespace kestrune
