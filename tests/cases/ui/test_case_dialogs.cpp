// The case dialogs driven through their controls, on real case files, with scripted answers.
#include "CaseTestFile.h"

#include "CommentFile.h"
#include "ScriptedPrompts.h"
#include "TFrmEditClass.h"
#include "TFrmExportClass.h"
#include "TFrmFenLei.h"
#include "TFrmSameName.h"
#include "TFrmSearch.h"
#include "TextEntry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using Answer = Prompts::Answer;

namespace {

template <typename T>
T *find(QWidget *form, const char *name)
{
    T *w = form->findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << "no control " << name;
    return w;
}

void click(QWidget *form, const char *button) { QTest::mouseClick(find<QPushButton>(form, button), Qt::LeftButton); }

// The texts of the questions asked so far, in order.
QStringList Asked(const ScriptedPrompts &prompts)
{
    QStringList texts;
    for (const auto &q : prompts.asked())
        texts << q.text;
    return texts;
}

QStringList Lines(QWidget *form)
{
    QStringList lines;
    auto *list = find<QListWidget>(form, "LstClass");
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text().section(' ', 0, 0);
    return lines;
}

void Select(QWidget *form, const QString &name)
{
    auto *list = find<QListWidget>(form, "LstClass");
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().section(' ', 0, 0) == name)
            list->setCurrentRow(i);
}

QStringList StoredClasses(MRecordBase &db)
{
    QStringList list;
    db.ReadClasses(list);
    return list;
}

QString ClassOf(MRecordBase &db, int id)
{
    TRecordData r;
    return db.LoadCase(id, r) ? r.className : QStringLiteral("<none>");
}

const QStringList kDefault{"私人别墅", "小区套房", "自建民居", "公司大夏", "古代老宅", "标志建筑", "其他建筑", "临时保存"};

} // namespace

TEST(CaseDialogs, TheCategoryDialogTakesOnlyAnExistingCategory)
{
    const struct {
        QString typed;
        bool accepted;
    } rows[] = {{" 临时保存\t", true}, {"小区套房", true}, {"新类别", false}, {"", false}};
    for (const auto &row : rows) {
        ScriptedPrompts prompts;
        TFrmFenLei dlg(kDefault);
        dlg.show();
        auto *combo = find<QComboBox>(&dlg, "CboFenLei");
        EXPECT_EQ(combo->currentIndex(), 0);
        combo->setEditText(row.typed);
        if (!row.accepted)
            prompts.reply(Answer::Ok);
        click(&dlg, "Btnok");
        EXPECT_EQ(dlg.result() == QDialog::Accepted, row.accepted) << row.typed.toStdString();
        EXPECT_EQ(dlg.ChosenClass(), row.accepted ? row.typed.trimmed() : QString());
        if (!row.accepted) {
            ASSERT_EQ(prompts.asked().size(), 1);
            EXPECT_EQ(prompts.asked()[0].title, "错误");
            EXPECT_EQ(prompts.asked()[0].icon, Prompts::Icon::Error);
            EXPECT_TRUE(dlg.isVisible());
        }
    }
}

// Control characters typed, pasted or committed into a category name never reach the stored name: the category
// dialog takes the category they hide, the category editor adds the name without them.
TEST(CaseDialogs, CategoryNamesLoseTheControlCharactersTypedOrPastedIntoThem)
{
    const struct {
        Entry how;
        const char16_t *text;
        const char *chosen;
    } choices[] = {
        {Entry::Pasted, u"临时保存\n", "临时保存"},
        {Entry::Pasted, u"\x1b临时\u202e保存\u2028", "临时保存"},
        {Entry::Pasted, u"\x85小区\r\n套房\x9b", "小区套房"},
        {Entry::Typed, u"小区\u202e套房", "小区套房"},
        {Entry::InputMethod, u"小区\u200b套房\ufeff", "小区套房"},
    };
    for (const auto &row : choices) {
        const QString text = QString::fromUtf16(row.text);
        TFrmFenLei dlg(kDefault);
        dlg.show();
        auto *box = find<QComboBox>(&dlg, "CboFenLei")->lineEdit();
        box->clear();
        Enter(box, row.how, text);
        click(&dlg, "Btnok");
        EXPECT_EQ(dlg.ChosenClass(), row.chosen) << text.toStdString();
    }

    const struct {
        const char16_t *typed;
        const char *added;
    } added[] = {{u"新\n甲", "新甲"}, {u"\u202e新乙", "新乙"}, {u"\x1b[新丙\x7f", "[新丙"}, {u"新\u2066丁\u2069", "新丁"}};
    CaseTestFile f;
    ScriptedPrompts prompts;
    {
        TFrmEditClass dlg(f.db);
        dlg.show();
        for (const auto &row : added) {
            prompts.reply(QString::fromUtf16(row.typed)).reply(Answer::Ok).reply(Answer::Ok);
            click(&dlg, "Button3");
            EXPECT_EQ(Lines(&dlg).last(), row.added);
            EXPECT_EQ(Asked(prompts).mid(Asked(prompts).size() - 2, 1),
                      QStringList{"类别名中包含：\"、*、<、>、?、\\、/、|、'、：等字符。，已经处理为合适的文本！"});
        }
        click(&dlg, "Button6");
    }
    EXPECT_EQ(StoredClasses(f.db).mid(kDefault.size()), (QStringList{"新甲", "新乙", "[新丙", "新丁"}));
    EXPECT_EQ(prompts.unexpected(), 0);
}

TEST(CaseDialogs, TheExportDialogNeedsOneCheckedCategory)
{
    ScriptedPrompts prompts;
    TFrmExportClass dlg({"私人别墅", "小区套房", "临时保存"});
    dlg.show();
    EXPECT_TRUE(find<QCheckBox>(&dlg, "ChkAll")->isChecked());
    EXPECT_TRUE(dlg.AllChecked());

    QTest::mouseClick(find<QCheckBox>(&dlg, "ChkAll"), Qt::LeftButton);
    EXPECT_TRUE(dlg.CheckedClasses().isEmpty());
    prompts.reply(Answer::Ok);
    click(&dlg, "BitBtn1");
    EXPECT_EQ(Asked(prompts), QStringList{"没有选择要导出的类别！"});
    EXPECT_TRUE(dlg.isVisible());

    QTest::mouseClick(find<QCheckBox>(&dlg, "ChkAll"), Qt::LeftButton);
    EXPECT_TRUE(dlg.AllChecked());
    find<QListWidget>(&dlg, "LstClass")->item(1)->setCheckState(Qt::Unchecked);
    click(&dlg, "BitBtn1");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.CheckedClasses(), (QStringList{"私人别墅", "临时保存"}));
    EXPECT_FALSE(dlg.AllChecked());
}

TEST(CategoryEditor, ListsStoredCategoriesThenThoseOnlyCasesNameAndStoresTheOrderOnClose)
{
    EXPECT_EQ(TFrmEditClass::LineText("临时保存", 3), "临时保存      3 案例");
    EXPECT_EQ(TFrmEditClass::LineText("一二三四五六七", 0), "一二三四五六七  0 案例");

    CaseTestFile f;
    f.add(MakeCase("张三", "临时保存"));
    f.add(MakeCase("李四", "外地"));
    ScriptedPrompts prompts;
    {
        TFrmEditClass dlg(f.db);
        dlg.show();
        EXPECT_EQ(Lines(&dlg), kDefault + QStringList{"外地"});
        EXPECT_EQ(dlg.windowTitle(), "编辑类别（全部案例，共2个）");
        EXPECT_TRUE(dlg.Modified());

        const struct {
            const char *select;
            const char *button;
            const char *message;
        } moves[] = {{"私人别墅", "Button1", "移动超出列表范围！"},
                     {"外地", "Button2", "移动超出列表范围！"},
                     {nullptr, "Button1", "请先点击选择一个类别！"}};
        for (const auto &m : moves) {
            if (m.select)
                Select(&dlg, m.select);
            else
                find<QListWidget>(&dlg, "LstClass")->clearSelection();
            prompts.reply(Answer::Ok);
            click(&dlg, m.button);
            EXPECT_EQ(Asked(prompts).last(), m.message);
        }
        Select(&dlg, "外地");
        click(&dlg, "Button1");
        click(&dlg, "Button6");
    }
    EXPECT_EQ(StoredClasses(f.db), QStringList(kDefault.mid(0, 7)) << "外地" << "临时保存");
    EXPECT_EQ(prompts.unexpected(), 0);
}

TEST(CategoryEditor, AddsAndMergesCategoriesAndRefusesNamesInUse)
{
    CaseTestFile f;
    const int a = f.add(MakeCase("张三", "临时保存"));
    const int b = f.add(MakeCase("李四", "临时保存"));
    const int c = f.add(MakeCase("王五", "小区套房"));
    ScriptedPrompts prompts;
    TFrmEditClass dlg(f.db);
    dlg.show();

    // Add: the typed name is cleaned, an existing one refused.
    prompts.reply(QStringLiteral("a*b")).reply(Answer::Ok).reply(Answer::Ok);
    prompts.reply(QStringLiteral("ab")).reply(Answer::Ok);
    click(&dlg, "Button3");
    click(&dlg, "Button3");
    EXPECT_EQ(Asked(prompts).mid(1), (QStringList{"类别名中包含：\"、*、<、>、?、\\、/、|、'、：等字符。，已经处理为合适的文本！",
                                                  "新增完成！", "请输入新的类别名称：        ",
                                                  "ab：这个类别已经存在，请另外起一个名称！"}));
    EXPECT_EQ(Lines(&dlg).last(), "ab");

    // Rename to the same name after cleaning is refused (the main window's test renames for real).
    Select(&dlg, "临时保存");
    prompts.reply(Answer::Yes).reply(QStringLiteral("临时:保存")).reply(Answer::Ok).reply(Answer::Ok);
    click(&dlg, "BtoRename");
    EXPECT_EQ(Asked(prompts).last(), "类别名称没有改变，请输入新的名称！");
    EXPECT_EQ(ClassOf(f.db, a), "临时保存");

    // Move: not into itself, not into a name that is not a line; then every case goes over.
    prompts.reply(Answer::Yes).reply(QStringLiteral("临时保存")).reply(Answer::Ok);
    prompts.reply(Answer::Yes).reply(QStringLiteral("别处")).reply(Answer::Ok);
    prompts.reply(Answer::Yes).reply(QStringLiteral("小区套房")).reply(Answer::Ok);
    click(&dlg, "BtoMove");
    click(&dlg, "BtoMove");
    click(&dlg, "BtoMove");
    const QStringList asked = Asked(prompts);
    EXPECT_EQ(asked.mid(asked.size() - 7),
              (QStringList{"同组类别不能移动，请输入已经存在的其他类别名称！", "确定要移动“临时保存”这个类别吗？",
                           "请输入要移动到目的类别名称：        ",
                           "请输入已经存在的类别名称，如果不存在可以先新建一个。", "确定要移动“临时保存”这个类别吗？",
                           "请输入要移动到目的类别名称：        ", "移动完成！"}));
    EXPECT_EQ(ClassOf(f.db, a) + ClassOf(f.db, b) + ClassOf(f.db, c), "小区套房小区套房小区套房");
    EXPECT_TRUE(find<QListWidget>(&dlg, "LstClass")->item(7)->text().endsWith("  0 案例"));
    EXPECT_TRUE(find<QListWidget>(&dlg, "LstClass")->item(1)->text().endsWith("  3 案例"));
    EXPECT_EQ(prompts.unexpected(), 0);
}

// A category needs a name: an empty box (or one of removed characters only) is refused in adding, renaming and
// moving alike, and no category "甲" appears; a long name is said to be cut, not to hold forbidden characters.
TEST(CategoryEditor, RefusesAnEmptyNameAndSaysALongOneWasCut)
{
    CaseTestFile f;
    const int a = f.add(MakeCase("张三", "临时保存"));
    f.add(MakeCase("李四", "小区套房"));
    ScriptedPrompts prompts;
    TFrmEditClass dlg(f.db);
    dlg.show();
    const QString empty = QStringLiteral("类别名称不能为空，请输入类别名称！");
    const struct {
        const char *button;
        QString typed;
        QStringList said; // after the input box
    } rows[] = {
        {"Button3", "", {empty}},
        {"Button3", "  ", {empty}},
        {"Button3", "*?", {empty}},
        {"BtoRename", "", {empty}},
        {"BtoMove", "", {empty}},
        {"Button3", "一二三四五六七八九十壹", {"类别名超过10个字符，已经截短为前10个字符！", "新增完成！"}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.button) + " " + row.typed.toStdString());
        const QStringList before = Lines(&dlg);
        Select(&dlg, "临时保存");
        if (std::string(row.button) != "Button3")
            prompts.reply(Answer::Yes);
        prompts.reply(row.typed);
        for (qsizetype i = 0; i < row.said.size(); ++i)
            prompts.reply(Answer::Ok);
        click(&dlg, row.button);
        EXPECT_EQ(Asked(prompts).mid(Asked(prompts).size() - row.said.size()), row.said);
        EXPECT_FALSE(Lines(&dlg).contains("甲"));
        if (row.said.last() == empty)
            EXPECT_EQ(Lines(&dlg), before);
    }
    EXPECT_EQ(Lines(&dlg).last(), "一二三四五六七八九十");
    EXPECT_EQ(ClassOf(f.db, a), "临时保存");
    EXPECT_EQ(prompts.unexpected(), 0);
    click(&dlg, "Button6");
}

TEST(CategoryEditor, DeletesACategoryWithItsCasesOnlyAfterAYes)
{
    CaseTestFile f;
    const int a = f.add(MakeCase("张三", "临时保存"), "评语");
    const int b = f.add(MakeCase("李四", "私人别墅"));
    ScriptedPrompts prompts;
    TFrmEditClass dlg(f.db);
    dlg.show();
    Select(&dlg, "临时保存");
    prompts.reply(Answer::No);
    click(&dlg, "BtoDelete");
    ASSERT_EQ(prompts.asked().size(), 1);
    EXPECT_EQ(prompts.asked()[0].text, "确定要删除“临时保存”这个类别吗？");
    EXPECT_EQ(prompts.asked()[0].defaultAnswer, Answer::No);
    EXPECT_EQ(prompts.asked()[0].icon, Prompts::Icon::Warning);
    EXPECT_EQ(ClassOf(f.db, a), "临时保存");

    prompts.reply(Answer::Yes).reply(Answer::Ok);
    click(&dlg, "BtoDelete");
    EXPECT_EQ(Asked(prompts).last(), "删除完成！");
    EXPECT_EQ(ClassOf(f.db, a), "<none>");
    EXPECT_EQ(ClassOf(f.db, b), "私人别墅");
    EXPECT_FALSE(Lines(&dlg).contains("临时保存"));
    EXPECT_EQ(dlg.windowTitle(), "编辑类别（全部案例）");
    EXPECT_TRUE(QFile::exists(f.app + "Quorin_f/张三_2004.rtf")); // the case's files stay

    // A store that refuses the change leaves the category and its cases.
    f.exec("alter table case_data rename to gone;");
    Select(&dlg, "私人别墅");
    prompts.reply(Answer::Yes).reply(Answer::Ok);
    click(&dlg, "BtoDelete");
    EXPECT_EQ(Asked(prompts).last(), "私人别墅：这个类别的案例没有删除完！");
    EXPECT_TRUE(find<QListWidget>(&dlg, "LstClass")->item(0)->text().endsWith("  1 案例"));
    EXPECT_EQ(prompts.unexpected(), 0);
}

TEST(SearchDialog, StoresTheTypedConditionsAndShowsThemAgain)
{
    CaseTestFile f;
    f.add(MakeCase("张三", "临时保存", 1, -110));
    f.add(MakeCase("张三丰", "临时保存", 1, 1990));
    CommentTexts comments(f.app, CommentFileText);
    TSearchData data;
    ScriptedPrompts prompts;
    {
        TFrmSearch dlg(f.db, comments, data);
        dlg.show();
        find<QLineEdit>(&dlg, "LedtY1")->setText("-120");
        find<QLineEdit>(&dlg, "LedtY2")->setText("-100");
        find<QLineEdit>(&dlg, "EdtName")->setText("  张三 ");
        find<QCheckBox>(&dlg, "ChkName")->setChecked(true);
        find<QRadioButton>(&dlg, "RdoSex_1")->setChecked(true);
        click(&dlg, "BtnSearch");
        EXPECT_EQ(dlg.Tag(), 1);
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_EQ(dlg.Found(), std::vector<int32_t>{1});
    }
    EXPECT_EQ(data.yearFrom, -119);
    EXPECT_EQ(data.yearTo, -99);
    EXPECT_EQ(data.name, "张三");
    EXPECT_EQ(data.nameMode, 2);
    EXPECT_EQ(data.sexOn + data.sex + data.yearOn, 3);
    EXPECT_EQ(data.classMode + data.commentOn, 0);

    TFrmSearch again(f.db, comments, data);
    again.show();
    EXPECT_EQ(find<QLineEdit>(&again, "LedtY1")->text(), "-120");
    EXPECT_EQ(find<QLineEdit>(&again, "LedtY2")->text(), "-100");
    EXPECT_EQ(find<QLineEdit>(&again, "EdtName")->text(), "张三");
    EXPECT_TRUE(find<QCheckBox>(&again, "ChkName")->isChecked());
    EXPECT_TRUE(find<QRadioButton>(&again, "RdoSex_1")->isChecked());
    EXPECT_EQ(find<QComboBox>(&again, "CboClass")->count(), kDefault.size());
    EXPECT_FALSE(find<QComboBox>(&again, "CboProv")->isVisible());
    EXPECT_EQ(again.Tag(), 0);

    // 清空 asks first, and clears everything.
    prompts.reply(Answer::Yes);
    click(&again, "BtoAll");
    EXPECT_TRUE(find<QLineEdit>(&again, "LedtY1")->text().isEmpty());
    EXPECT_TRUE(find<QLineEdit>(&again, "EdtName")->text().isEmpty());
    EXPECT_TRUE(find<QRadioButton>(&again, "RdoSex_0")->isChecked());
    EXPECT_EQ(prompts.unexpected(), 0);
}

TEST(SearchDialog, RefusesBadYearsAndReportsWhenNothingIsFound)
{
    CaseTestFile f;
    CommentTexts comments(f.app, CommentFileText);
    TSearchData data;
    ScriptedPrompts prompts;
    TFrmSearch dlg(f.db, comments, data);
    dlg.show();
    const QString range = "年份必须在-850到2100年之间，并且没有公元0年\n注意：公元前用负数，比如公元前120年，就输入-120";
    const struct {
        const char *from;
        const char *to;
        QString message;
    } rows[] = {{"1990", "", range},    {"0", "10", range},     {"-851", "10", range},
                {"19a0", "2000", range}, {"2000", "1990", "结束年必须大于或等于起始年"},
                {"", "", "没有记录，无从查找。"}};
    for (const auto &row : rows) {
        find<QLineEdit>(&dlg, "LedtY1")->setText(row.from);
        find<QLineEdit>(&dlg, "LedtY2")->setText(row.to);
        prompts.reply(Answer::Ok);
        click(&dlg, "BtnSearch");
        EXPECT_EQ(Asked(prompts).last(), row.message) << row.from << ".." << row.to;
        EXPECT_TRUE(dlg.isVisible());
    }
    EXPECT_EQ(prompts.asked().first().title, "年份错误");

    f.add(MakeCase("李四"));
    find<QLineEdit>(&dlg, "EdtName")->setText("张三");
    prompts.reply(Answer::Ok);
    click(&dlg, "BtnSearch");
    EXPECT_EQ(prompts.asked().last().title, "信息");
    EXPECT_EQ(Asked(prompts).last(), "没有找到符合条件的命例。");
    EXPECT_EQ(dlg.Tag(), 0);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(prompts.unexpected(), 0);
}
