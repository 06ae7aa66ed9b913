#pragma once

#include "CaseSearch.h"

#include <QDialog>

#include <memory>
#include <vector>

class MRecordBase;
class QButtonGroup;

namespace Ui {
class TFrmSearch;
}

// "查找命例": the conditional search. Shows the caller's conditions, and on "查找" stores the typed ones back into
// them, searches, and closes with OK (Tag() 1) when some case matched; the ids are then in Found(). The caller
// applies the font scaler before showing it.
class TFrmSearch : public QDialog {
    Q_OBJECT
public:
    TFrmSearch(MRecordBase &db, CommentTexts &comments, TSearchData &data, QWidget *parent = nullptr);
    ~TFrmSearch() override;

    int Tag() const { return m_tag; }
    const std::vector<int32_t> &Found() const { return m_found; }

    void FormShow();
    void BtoAllClick();
    void BtnSearchClick();
    void BtoCancelClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool readConditions(TSearchData &data);
    void setBusy(bool busy);

    std::unique_ptr<Ui::TFrmSearch> ui;
    MRecordBase &m_db;
    CommentTexts &m_comments;
    TSearchData &m_data;
    QButtonGroup *m_sex = nullptr;
    std::vector<int32_t> m_found;
    int m_tag = 0;
};
