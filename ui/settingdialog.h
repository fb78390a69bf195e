#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QDialogButtonBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;

namespace kestrune {

// One setting typed into a box and read as its command-line option reads it,
// with 记住 to store it for later runs. It deletes itself on close; open() it
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
    ~SettingDialog() override;

    QString Value() const;
    bool Remember() const;

private:
    SettingDialog(QWidget *parent, const QString &title, const QString &prompt, Reader reader,
                  bool choosesFile = false);
    // 浏览… and 清除 beside the box.
    void AddFileButtons(QHBoxLayout &row);
    void Reread();

    Reader reader_;
    Reading reading_;
    QLineEdit *box_;            // children
    QLabel *problem_;           //
    QCheckBox *remember_;       //
    QDialogButtonBox *buttons_; //
};

} // namespace kestrune
