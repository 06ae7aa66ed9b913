// The conditional and keyword searches on real case files with comment files.
#include "CaseTestFile.h"

#include "CaseFiles.h"
#include "CaseSearch.h"
#include "CommentFile.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <random>

namespace {

using Ids = std::vector<int32_t>;

CommentTexts Comments(const CaseTestFile &f) { return CommentTexts(f.app, CommentFileText); }

Ids Searched(CaseTestFile &f, const TSearchData &cond)
{
    CommentTexts comments = Comments(f);
    Ids ids;
    QString message;
    EXPECT_TRUE(Search(f.db, cond, comments, ids, message)) << message.toStdString();
    return ids;
}

Ids FuzzySearched(CaseTestFile &f, const QString &typed)
{
    CommentTexts comments = Comments(f);
    Ids ids;
    QString message;
    EXPECT_TRUE(FuzzySearch(f.db, SplitKeywords(typed), comments, ids, message)) << message.toStdString();
    return ids;
}

// The searches done the plain way: every case loaded whole, every comment file read.
struct PlainCase {
    TRecordData rec;
    QString comment;
};

std::vector<PlainCase> PlainScan(CaseTestFile &f)
{
    std::vector<PlainCase> cases;
    MRecordBase::Batch batch(f.db);
    for (int id = 1; id <= f.db.GetPrimaryId(); ++id) {
        PlainCase c;
        if (!f.db.LoadCaseBatch(id, c.rec))
            continue;
        const QString path = RemarkFilePath(f.app, c.rec.remarkFile);
        c.comment = QFileInfo::exists(path) ? CommentFileText(path) : QString();
        cases.push_back(c);
    }
    return cases;
}

QString AsciiLower(QString s)
{
    for (QChar &c : s)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + 32);
    return s;
}

bool PlainTextMatch(const QString &text, const QString &wanted, int mode)
{
    if (mode == 2)
        return AsciiLower(text) == AsciiLower(wanted);
    return mode == 0 || text.contains(wanted);
}

Ids PlainSearch(const std::vector<PlainCase> &cases, const TSearchData &s)
{
    Ids ids;
    for (const PlainCase &c : cases) {
        const TRecordData &r = c.rec;
        if (PlainTextMatch(r.name, s.name, s.nameMode) && PlainTextMatch(r.className, s.category, s.classMode) &&
            (!s.commentOn || c.comment.contains(s.comment)) && (!s.sexOn || r.sex == s.sex) &&
            (!s.yearOn || (s.yearFrom <= r.buildYear && r.buildYear <= s.yearTo)))
            ids.push_back(r.id);
    }
    return ids;
}

Ids PlainFuzzy(const std::vector<PlainCase> &cases, const QStringList &keywords)
{
    Ids ids;
    for (const PlainCase &c : cases) {
        QStringList texts;
        CaseSummary(c.rec, texts);
        texts << c.comment;
        QStringList left = keywords;
        int matched = 0;
        for (const QString &text : texts) {
            for (qsizetype k = 0; k < left.size(); ++k) {
                if (text.contains(left[k])) {
                    ++matched;
                    left.removeAt(k);
                    break;
                }
            }
        }
        if (matched == keywords.size())
            ids.push_back(c.rec.id);
    }
    return ids;
}

TSearchData Conditions(int nameMode, const QString &name, int classMode = 0, const QString &category = {})
{
    TSearchData s;
    s.nameMode = uint8_t(nameMode);
    s.name = name;
    s.classMode = uint8_t(classMode);
    s.category = category;
    return s;
}

} // namespace

TEST(CaseSummaryText, HoldsTheOwnerAndTheBirthHoursBranch)
{
    const struct {
        int hour;
        const char *branch;
    } rows[] = {{23, "子"}, {0, "子"}, {1, "丑"}, {2, "丑"}, {3, "寅"}, {12, "午"}, {21, "亥"}, {22, "亥"},
                {-4, "戌"}}; // a damaged hour still names a branch
    for (const auto &row : rows)
        EXPECT_EQ(BirthHourBranch(row.hour), QString::fromUtf8(row.branch)) << row.hour;

    TRecordData r = MakeCase("张三", "私人别墅", 0);
    r.address = "北京";
    r.date = {1980, 5, 6, 23, 8};
    QStringList texts;
    CaseSummary(r, texts);
    EXPECT_EQ(texts, (QStringList{"张三", "女", "北京", "私人别墅", "1980年", "5月", "6日", "子时"}));
}

TEST(SearchKeywords, AreTheRunsBetweenBlanks)
{
    EXPECT_EQ(SplitKeywords("  张三 男\t北京　上海 "), (QStringList{"张三", "男", "北京", "上海"}));
    EXPECT_TRUE(SplitKeywords("   ").isEmpty());
}

TEST(CaseSearch, EachConditionSelectsItsCases)
{
    CaseTestFile f;
    f.add(MakeCase("张三"), "门开东南，旺山旺向");       // 1
    f.add(MakeCase("张三丰", "小区套房", 0, -119));       // 2
    f.add(MakeCase("abc", "私人别墅", 1, 1990));          // 3
    f.add(MakeCase("ABC", "私人", 0, 2100), "北京");      // 4
    TRecordData noFile = MakeCase("李四");
    noFile.remarkText = "旺山旺向"; // stored text only: the file is what is searched
    f.add(noFile);                                        // 5

    TSearchData sex = Conditions(0, {});
    sex.sexOn = 1;
    sex.sex = 0;
    TSearchData years = Conditions(0, {});
    years.yearOn = 1;
    years.yearFrom = -119;
    years.yearTo = 1990;
    TSearchData comment = Conditions(0, {});
    comment.commentOn = 1;
    comment.comment = "旺山";
    TSearchData all = comment;
    all.nameMode = 1;
    all.name = "张";

    const struct {
        const char *what;
        TSearchData cond;
        Ids ids;
    } rows[] = {
        {"no condition", Conditions(0, {}), {1, 2, 3, 4, 5}},
        {"name contains", Conditions(1, "张三"), {1, 2}},
        {"name equals", Conditions(2, "张三"), {1}},
        {"equal in any ASCII case", Conditions(2, "aBc"), {3, 4}},
        {"contains keeps the case", Conditions(1, "ab"), {3}},
        {"category contains", Conditions(0, {}, 1, "私人"), {3, 4}},
        {"category equals", Conditions(0, {}, 2, "私人"), {4}},
        {"sex", sex, {2, 4}},
        {"building years, both ends in", years, {2, 3}},
        {"comment file", comment, {1}},
        {"every condition", all, {1}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(Searched(f, row.cond), row.ids) << row.what;
}

TEST(CaseSearch, EachTextOfACaseTakesOneKeyword)
{
    CaseTestFile f;
    TRecordData man = MakeCase("张三");
    man.address = "北京市";
    f.add(man);                                      // 1
    f.add(MakeCase("李四", "临时保存", 0), "男 北京"); // 2: only the comment holds both words
    f.add(MakeCase("王五", "临时保存", 1), "北京");    // 3
    f.add(MakeCase("赵六", "临时保存", 0), "北京");    // 4

    const struct {
        const char *typed;
        Ids ids;
    } rows[] = {
        {"男 北京", {1, 3}},
        {"张三 男", {1}},
        {"北京", {1, 2, 3, 4}},
        {"1980年 5月 6日 辰时", {1, 2, 3, 4}},
        {"女 北京 男", {}},
        {"上海", {}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(FuzzySearched(f, row.typed), row.ids) << row.typed;
}

TEST(CaseSearch, GivesTheIdsOfThePlainScanOnTwoThousandVariedCases)
{
    CaseTestFile f;
    AddVariedCases(f, 2000, 17);
    const std::vector<PlainCase> plain = PlainScan(f);
    ASSERT_GT(plain.size(), 1900u);

    std::mt19937 rng(5);
    auto pick = [&](const QStringList &from) { return from[int(rng() % uint32_t(from.size()))]; };
    const QStringList names{"张三", "张", "abc", "ABC", "三丰", "李四", "钱"};
    const QStringList classes{"私人别墅", "私人", "临时保存", "外地", "小区"};
    const QStringList comments{"北京", "旺山", "it's", "张三", "，", "平安"};
    const QStringList keywords{"张三", "男", "女", "北京", "1980年", "5月", "子时", "旺山旺向", "私人别墅", "abc",
                               "上海", "it's", "临时保存", "3日"};
    CommentTexts texts = Comments(f);
    int nonEmpty = 0;
    for (int q = 0; q < 150; ++q) {
        TSearchData s;
        s.nameMode = uint8_t(rng() % 3);
        s.name = pick(names);
        s.classMode = uint8_t(rng() % 3);
        s.category = pick(classes);
        s.commentOn = uint8_t(rng() % 2);
        s.comment = pick(comments);
        s.sexOn = uint8_t(rng() % 2);
        s.sex = uint8_t(rng() % 2);
        s.yearOn = uint8_t(rng() % 2);
        s.yearFrom = int16_t(int(rng() % 2400) - 400);
        s.yearTo = int16_t(s.yearFrom + int(rng() % 1500));
        QStringList words;
        for (uint32_t k = 0, n = 1 + rng() % 4; k < n; ++k)
            words << pick(keywords);

        Ids ids, fuzzy;
        QString message;
        ASSERT_TRUE(Search(f.db, s, texts, ids, message));
        ASSERT_TRUE(FuzzySearch(f.db, words, texts, fuzzy, message));
        EXPECT_EQ(ids, PlainSearch(plain, s)) << "query " << q;
        EXPECT_EQ(fuzzy, PlainFuzzy(plain, words)) << words.join(' ').toStdString();
        nonEmpty += !ids.empty() + !fuzzy.empty();
    }
    EXPECT_GT(nonEmpty, 75); // the queries do find cases
}

TEST(CaseSearch, ReadsACommentFileAgainOnceItChanged)
{
    CaseTestFile f;
    const TRecordData rec = MakeCase("张三");
    f.add(rec, "平安");
    CommentTexts texts = Comments(f);
    Ids ids;
    QString message;
    ASSERT_TRUE(FuzzySearch(f.db, {"张三", "平安"}, texts, ids, message));
    EXPECT_EQ(ids, Ids{1});

    f.writeComment(rec.remarkFile, "大吉");
    ASSERT_TRUE(FuzzySearch(f.db, {"张三", "平安"}, texts, ids, message));
    EXPECT_TRUE(ids.empty());
    QFile::remove(RemarkFilePath(f.app, rec.remarkFile));
    ASSERT_TRUE(FuzzySearch(f.db, {"张三", "大吉"}, texts, ids, message));
    EXPECT_TRUE(ids.empty());
}

TEST(CaseSearch, AnUnreadableCaseFileIsAFailureNotAnEmptyResult)
{
    CaseTestFile f;
    f.add(MakeCase("张三"));
    f.exec("alter table case_data rename to gone;");
    CommentTexts texts = Comments(f);
    Ids ids{7};
    QString message;
    EXPECT_FALSE(Search(f.db, Conditions(1, "张"), texts, ids, message));
    EXPECT_TRUE(ids.empty());
    EXPECT_FALSE(message.isEmpty());
    EXPECT_FALSE(FuzzySearch(f.db, {"张三"}, texts, ids, message));
}
