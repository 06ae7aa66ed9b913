// Writes a picture of each case dialog, filled with sample cases, into the build folder for people to look at:
// shots_case_dialogs [folder]. Not a test.
#include "CaseTestFile.h"

#include "CommentFile.h"
#include "TFrmEditClass.h"
#include "TFrmExportClass.h"
#include "TFrmFenLei.h"
#include "TFrmSameName.h"
#include "TFrmSearch.h"

#include <QApplication>
#include <QDir>
#include <QFont>

#include <gtest/gtest.h>

namespace {

void Shoot(QWidget &dlg, const QString &folder, const char *name)
{
    dlg.show();
    dlg.adjustSize();
    QApplication::processEvents();
    dlg.grab().save(folder + "/" + name + ".png");
    dlg.hide();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN")});
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(QUORIN_SHOTS_DIR);
    QDir().mkpath(folder);

    CaseTestFile f;
    AddVariedCases(f, 60, 3);
    QStringList classes;
    f.db.ReadClasses(classes);

    TFrmFenLei fenLei(classes);
    Shoot(fenLei, folder, "TFrmFenLei");
    TFrmExportClass exportClass(classes);
    Shoot(exportClass, folder, "TFrmExportClass");
    TFrmSameName sameName({"张三      八运  子山午向", "张三丰    七运  壬山丙向", "李四      九运  子山兼癸"});
    Shoot(sameName, folder, "TFrmSameName");
    TFrmEditClass editClass(f.db);
    Shoot(editClass, folder, "TFrmEditClass");
    CommentTexts comments(f.app, CommentFileText);
    TSearchData data;
    data.nameMode = 1;
    data.name = "张三";
    data.yearOn = 1;
    data.yearFrom = -119;
    data.yearTo = 2004;
    TFrmSearch search(f.db, comments, data);
    Shoot(search, folder, "TFrmSearch");
    return 0;
}
