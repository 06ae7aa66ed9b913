#include "CaseTreeLoader.h"

#include "MRecordBase.h"

#include <QMutexLocker>

CaseTreeLoader::CaseTreeLoader(const QString &appFolder, const QString &dbPath, QList<int> ids, int sort,
                               QObject *parent)
    : QObject(parent), appFolder_(appFolder), dbPath_(dbPath), ids_(std::move(ids)), sort_(sort)
{
}

CaseTreeLoader::~CaseTreeLoader()
{
    RequestStop();
    Wait();
}

void CaseTreeLoader::Start()
{
    if (!thread_.joinable())
        thread_ = std::thread([this] { run(); });
}

void CaseTreeLoader::Wait()
{
    if (thread_.joinable())
        thread_.join();
}

QStringList CaseTreeLoader::Categories() const
{
    QMutexLocker lock(&mutex_);
    return categories_;
}

QString CaseTreeLoader::Damage() const
{
    QMutexLocker lock(&mutex_);
    return damage_;
}

CaseTreeLoader::Chunk CaseTreeLoader::TakeChunk()
{
    QMutexLocker lock(&mutex_);
    if (chunks_.empty())
        return {};
    Chunk c = std::move(chunks_.front());
    chunks_.pop_front();
    return c;
}

void CaseTreeLoader::run()
{
    // Its own connection: the window's object is never used from two threads.
    MRecordBase db(appFolder_);
    db.SetQuickCheckAtOpen(false); // the window's object has the file checked
    QStringList listed;
    std::vector<TCusTreeItem> items;
    if (db.Open(dbPath_) == 0) {
        db.ReadClasses(listed);
        items = LoadCaseItems(db, ids_, sort_, &stop_);
    }
    {
        QMutexLocker lock(&mutex_);
        categories_ = CaseTreeText::CategoriesToShow(listed, items);
        damage_ = db.DamageText();
    }
    total_ = items.size();
    emit loaded();
    for (size_t from = 0; from < items.size() && !stop_; from += kChunk) {
        const size_t to = std::min(items.size(), from + kChunk);
        auto chunk = std::make_shared<std::vector<TCusTreeItem>>(std::make_move_iterator(items.begin() + from),
                                                                 std::make_move_iterator(items.begin() + to));
        bool wasEmpty;
        {
            QMutexLocker lock(&mutex_);
            wasEmpty = chunks_.empty();
            chunks_.push_back(std::move(chunk));
        }
        if (wasEmpty)
            emit chunksReady();
    }
    done_ = true;
    emit finished();
}
