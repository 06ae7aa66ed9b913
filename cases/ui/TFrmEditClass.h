#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

#include "TRecordData.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class MRecordBase;
class QListWidgetItem;

namespace Ui {
class TFrmEditClass;
}

// "编辑类别（全部案例）": orders, adds, deletes, renames and merges the categories. Deleting, renaming and moving
// change every case of the category at once, in one transaction, and only while each is still the case the dialog
// read (a case file put in place meanwhile may hold other clients under the ids); the order and new categories
// are stored when the dialog closes. The caller applies the font scaler before showing it and reads Modified() afterwards.
class TFrmEditClass : public QDialog {
    Q_OBJECT
public:
    explicit TFrmEditClass(MRecordBase &db, QWidget *parent = nullptr);
    ~TFrmEditClass() override;

    // Whether the list, its order or a category changed.
    bool Modified() const { return m_modified; }

    // The line of a category: the name padded with blanks to 12 GBK bytes, then "  %d 案例".
    static QString LineText(const QString &name, int count);

    void FormShow();
    void Button1Click() { moveLine(-1); } // ▲
    void Button2Click() { moveLine(+1); } // ▼
    void Button3Click();                  // 增加
    void BtoDeleteClick();
    void BtoRenameClick();
    void BtoMoveClick();
    void Button6Click() { close(); }      // 返回

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // Ordered as the category names' GBK bytes, the order the stored list has always used.
    struct GbkLess {
        bool operator()(const QString &a, const QString &b) const;
    };
    using ClassMap = std::map<QString, std::vector<int32_t>, GbkLess>;
    enum class Change { Delete, Rename, Move };

    void buildMap();
    void fillList();
    void addLine(const QString &name, int row = -1);
    void rewriteLine(QListWidgetItem *item, const QString &name);
    QListWidgetItem *lineOf(const QString &name) const;
    QString selectedName() const;
    void moveLine(int step);
    // Asks for a category name and cleans it, saying what the cleaning changed; false when cancelled or when
    // no name is left (refused with a message).
    bool askName(const QString &title, const QString &prompt, const QString &initial, QString &name);
    // Runs the change on every id of `from` in one transaction; the ids that failed (all when the transaction
    // failed, or the case file no longer holds the cases read: then *refusal is what to say instead).
    std::vector<int32_t> changeCases(Change change, const std::vector<int32_t> &ids, const QString &to,
                                     QString *refusal);

    std::unique_ptr<Ui::TFrmEditClass> ui;
    MRecordBase &m_db;
    ClassMap m_map;
    std::map<int32_t, TCaseKey> m_keys; // the case each id held when the dialog read it
    bool m_modified = false;
    bool m_replaced = false; // a change was refused: the case file is no longer the one read
};
