#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TFrmText;
}

// Shows a long text in a read-only memo: the year, month, day and hour verdicts of one sitting mountain.
class TFrmText : public QDialog {
    Q_OBJECT
public:
    explicit TFrmText(QWidget *parent = nullptr);
    ~TFrmText() override;

    void SetText(const QString &text);
    QString Text() const;

    // The facing and date-choice text of mountain 0..23 from the string table, with its separator lines.
    static QString MountainText(int mountain);

private:
    std::unique_ptr<Ui::TFrmText> ui;
};
