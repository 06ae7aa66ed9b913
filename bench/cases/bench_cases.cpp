// Case database timings on a real file in a temporary folder.
#include "MRecordBase.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

TRecordData SampleCase(int i)
{
    TRecordData r;
    r.name = QStringLiteral("张三") + QString::number(i % 1000);
    r.className = QStringLiteral("小区套房");
    r.date = {int16_t(1950 + i % 60), int16_t(1 + i % 12), int16_t(1 + i % 28), int16_t(i % 24), int16_t(i % 60)};
    r.buildYear = int16_t(1980 + i % 45);
    r.mountain = uint8_t(i % 96);
    r.door = uint8_t(i % 24);
    r.degree = float(i % 360) + 0.25f;
    r.address = QStringLiteral("浙江省杭州市西湖区文三路一百号");
    r.remarkFile = r.name + QStringLiteral("_195001010000");
    r.remarkText = QStringLiteral("坐北朝南，门开东南，旺山旺向。");
    return r;
}

// A case file of n cases, made once per size and kept for the whole run.
struct CaseFile {
    QTemporaryDir dir;
    MRecordBase db{dir.path() + "/"};
    explicit CaseFile(int n)
    {
        db.Open(MRecordBase::DefaultPath(dir.path()));
        MRecordBase::Batch batch(db);
        for (int i = 0; i < n; ++i) {
            TRecordData r = SampleCase(i);
            db.InsertCaseBatch(r);
        }
        batch.commit();
    }
};

CaseFile &FileOf100k()
{
    static CaseFile file(100000);
    return file;
}

void BM_InsertBatch10k(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        MRecordBase db(dir.path() + "/");
        db.Open(MRecordBase::DefaultPath(dir.path()));
        state.ResumeTiming();
        {
            MRecordBase::Batch batch(db);
            for (int i = 0; i < 10000; ++i) {
                TRecordData r = SampleCase(i);
                benchmark::DoNotOptimize(db.InsertCaseBatch(r));
            }
            batch.commit();
        }
        if (db.GetPrimaryId() != 10000)
            state.SkipWithError("inserts failed");
    }
}
BENCHMARK(BM_InsertBatch10k)->Unit(benchmark::kMillisecond);

// One save on its own, as the save command makes it: its own transaction and commit to the disk.
void BM_InsertOne(benchmark::State &state)
{
    QTemporaryDir dir;
    MRecordBase db(dir.path() + "/");
    db.Open(MRecordBase::DefaultPath(dir.path()));
    int i = 0;
    for (auto _ : state) {
        TRecordData r = SampleCase(i++);
        if (db.InsertCase(r) < 0)
            state.SkipWithError("insert failed");
    }
}
BENCHMARK(BM_InsertOne)->Unit(benchmark::kMicrosecond);

void BM_LoadBatch100k(benchmark::State &state)
{
    MRecordBase &db = FileOf100k().db;
    for (auto _ : state) {
        int loaded = 0;
        MRecordBase::Batch batch(db);
        TRecordData r;
        for (int id = 1; id <= db.GetPrimaryId(); ++id)
            loaded += db.LoadCaseBatch(id, r);
        if (loaded != 100000)
            state.SkipWithError("loads failed");
    }
}
BENCHMARK(BM_LoadBatch100k)->Unit(benchmark::kMillisecond);

void BM_LoadOneFrom100k(benchmark::State &state)
{
    MRecordBase &db = FileOf100k().db;
    int id = 1;
    for (auto _ : state) {
        TRecordData r;
        if (!db.LoadCase(id, r))
            state.SkipWithError("load failed");
        id = (id + 7919) % 100000 + 1;
    }
}
BENCHMARK(BM_LoadOneFrom100k)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {
// The text conversion alone, without the store: what a load costs beyond SQLite.
void BM_ValuesToRecord(benchmark::State &state)
{
    QStringList values;
    RecordToValues(SampleCase(12345), values);
    TRecordData r;
    for (auto _ : state) {
        ValuesToRecord(values, r);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_ValuesToRecord);
} // namespace
