#pragma once

#include "CaseTree.h"

#include <QList>
#include <QMutex>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <deque>
#include <memory>
#include <thread>

// Loads cases for the tree on a thread of its own: it opens its own connection to the case file, builds and
// sorts the items, and hands them to the user-interface thread in chunks. It never touches a widget. The
// user-interface thread takes the chunks with TakeChunk after the chunksReady signal.
class CaseTreeLoader : public QObject {
    Q_OBJECT
public:
    // Items per chunk: small enough that placing one chunk keeps the window responsive.
    static constexpr size_t kChunk = 500;

    using Chunk = std::shared_ptr<const std::vector<TCusTreeItem>>;

    CaseTreeLoader(const QString &appFolder, const QString &dbPath, QList<int> ids, int sort,
                   QObject *parent = nullptr);
    // Asks the thread to stop and waits for it.
    ~CaseTreeLoader() override;

    void Start();
    // Asks the thread to stop placing cases; it ends soon after.
    void RequestStop() { stop_ = true; }
    bool StopRequested() const { return stop_; }
    // Waits until the thread has ended.
    void Wait();
    // The thread has handed over everything it will (or stopped) and ended.
    bool Done() const { return done_; }

    // Once loaded: the listed categories that the cases name, and how many cases there are.
    QStringList Categories() const;
    size_t Total() const { return total_; }
    // Once ended: the message naming the case file when the load found it damaged, else empty.
    QString Damage() const;
    // The next chunk in tree order, or nothing when none is waiting.
    Chunk TakeChunk();

signals:
    // Queued to the user-interface thread: the items are loaded and sorted (Categories and Total are set).
    void loaded();
    // Queued: chunks are waiting.
    void chunksReady();
    // Queued: the thread has ended.
    void finished();

private:
    void run();

    QString appFolder_;
    QString dbPath_;
    QList<int> ids_;
    int sort_;
    std::atomic_bool stop_{false};
    std::atomic_bool done_{false};
    std::atomic<size_t> total_{0};
    mutable QMutex mutex_;
    QStringList categories_;
    QString damage_;
    std::deque<Chunk> chunks_;
    std::thread thread_;
};
