// The conditional and keyword searches over a case file of 100,000 cases, one in ten with a comment file, made
// once in a temporary folder (about a minute) and kept for the whole run.
#include "CaseFiles.h"
#include "CaseSearch.h"
#include "CommentFile.h"
#include "MRecordBase.h"
#include "QuickRun.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

const int kCases = Sized(100000, 2000);
constexpr int kCommentEvery = 10;

TRecordData SampleCase(int i)
{
    static const QStringList surnames{"张", "李", "王", "赵", "钱", "孙", "周", "吴"};
    static const QStringList places{"北京市海淀区", "上海市浦东新区", "浙江省杭州市西湖区", "广东省广州市"};
    static const QStringList classes{"私人别墅", "小区套房", "自建民居", "临时保存"};
    TRecordData r;
    r.name = surnames[i % surnames.size()] + (i % 5 == 0 ? QStringLiteral("三") : QString::number(i % 1000));
    r.sex = uint8_t((i / 3) % 2);
    r.address = places[i % places.size()];
    r.className = classes[i % classes.size()];
    r.date = {int16_t(1950 + i % 60), int16_t(1 + i % 12), int16_t(1 + i % 28), int16_t(i % 24), int16_t(i % 60)};
    r.buildYear = int16_t(1900 + i % 125);
    r.mountain = uint8_t(i % 96);
    r.degree = float(i % 360);
    r.remarkFile = QStringLiteral("case_%1").arg(i);
    r.remarkText = QStringLiteral("坐北朝南，门开东南。");
    return r;
}

struct SearchFile {
    QTemporaryDir dir;
    QString app = dir.path() + "/";
    MRecordBase db{app};
    CommentTexts comments{app, CommentFileText};

    SearchFile()
    {
        db.Open(MRecordBase::DefaultPath(app));
        MRecordBase::Batch batch(db);
        QTextDocument doc;
        for (int i = 0; i < kCases; ++i) {
            TRecordData r = SampleCase(i);
            db.InsertCaseBatch(r);
            if (i % kCommentEvery == 0) {
                doc.setPlainText(QStringLiteral("坐北朝南，门开东南。\n第%1号宅，%2。")
                                     .arg(i)
                                     .arg(i % 3 == 0 ? QStringLiteral("旺山旺向") : QStringLiteral("上山下水")));
                SaveCommentFile(RemarkFilePath(app, r.remarkFile), doc);
            }
        }
        batch.commit();
    }
};

SearchFile &File()
{
    static SearchFile file;
    return file;
}

void Expect(benchmark::State &state, bool ok, const std::vector<int32_t> &ids)
{
    if (!ok || ids.empty())
        state.SkipWithError("the search failed or found nothing");
    state.counters["found"] = double(ids.size());
}

// "张三 男": both words in the summary texts, so comments are read only for cases one word short.
void BM_FuzzySearchNameAndSex(benchmark::State &state)
{
    SearchFile &f = File();
    std::vector<int32_t> ids;
    QString message;
    for (auto _ : state)
        Expect(state, FuzzySearch(f.db, {"张三", "男"}, f.comments, ids, message), ids);
}
BENCHMARK(BM_FuzzySearchNameAndSex)->Unit(benchmark::kMillisecond);

// One word found only in comments: every case needs its comment, so every comment file is looked at.
void BM_FuzzySearchCommentWord(benchmark::State &state)
{
    SearchFile &f = File();
    std::vector<int32_t> ids;
    QString message;
    for (auto _ : state)
        Expect(state, FuzzySearch(f.db, {"旺山旺向"}, f.comments, ids, message), ids);
}
BENCHMARK(BM_FuzzySearchCommentWord)->Unit(benchmark::kMillisecond);

TSearchData EveryCondition()
{
    TSearchData s;
    s.nameMode = 1;
    s.name = QStringLiteral("张");
    s.classMode = 2;
    s.category = QStringLiteral("私人别墅");
    s.sexOn = 1;
    s.sex = 0;
    s.yearOn = 1;
    s.yearFrom = 1950;
    s.yearTo = 2020;
    s.commentOn = 1;
    s.comment = QStringLiteral("旺山");
    return s;
}

void BM_ConditionalSearchEveryCondition(benchmark::State &state)
{
    SearchFile &f = File();
    const TSearchData s = EveryCondition();
    std::vector<int32_t> ids;
    QString message;
    for (auto _ : state)
        Expect(state, Search(f.db, s, f.comments, ids, message), ids);
}
BENCHMARK(BM_ConditionalSearchEveryCondition)->Unit(benchmark::kMillisecond);

// The comment condition alone: every comment file is looked at.
void BM_ConditionalSearchCommentOnly(benchmark::State &state)
{
    SearchFile &f = File();
    TSearchData s;
    s.commentOn = 1;
    s.comment = QStringLiteral("旺山旺向");
    std::vector<int32_t> ids;
    QString message;
    for (auto _ : state)
        Expect(state, Search(f.db, s, f.comments, ids, message), ids);
}
BENCHMARK(BM_ConditionalSearchCommentOnly)->Unit(benchmark::kMillisecond);

// The first comment search of a run, which reads every comment file (10,000 RTF documents).
void BM_FirstCommentSearch(benchmark::State &state)
{
    SearchFile &f = File();
    TSearchData s;
    s.commentOn = 1;
    s.comment = QStringLiteral("旺山旺向");
    std::vector<int32_t> ids;
    QString message;
    for (auto _ : state) {
        CommentTexts fresh(f.app, CommentFileText);
        Expect(state, Search(f.db, s, fresh, ids, message), ids);
    }
}
BENCHMARK(BM_FirstCommentSearch)->Unit(benchmark::kMillisecond)->Iterations(Sized(2, 1));

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
