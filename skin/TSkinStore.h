#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

class TSkinCollection;

// One stored skin package with its name. A new item is named "SkinItem" + its id; ids count up per
// collection and are never reused.
class TSkinCollectionItem {
public:
    int ID() const { return id_; }
    const QString &Name() const { return name_; }
    // Refuses a name another item of the collection holds (false, with the message in `error`).
    bool SetName(const QString &name, QString *error = nullptr);
    bool LoadFromFile(const QString &path);
    void Assign(const TSkinCollectionItem &source);
    QString GetDisplayName() const { return name_; }
    qint64 GetDataSize() const { return DataStream.size(); }
    static QString SkinData() { return QStringLiteral("Load Skin"); }

    QByteArray DataStream;

private:
    friend class TSkinCollection;
    TSkinCollectionItem(TSkinCollection *owner, int id);
    TSkinCollection *owner_;
    int id_;
    QString name_;
};

class TSkinCollection {
public:
    TSkinCollection() = default;
    TSkinCollection(const TSkinCollection &) = delete;
    TSkinCollection &operator=(const TSkinCollection &) = delete;

    TSkinCollectionItem &Add();
    void Delete(int index);
    int Count() const { return static_cast<int>(items_.size()); }
    TSkinCollectionItem &Item(int index) { return *items_.at(index); }
    const TSkinCollectionItem &Item(int index) const { return *items_.at(index); }
    // Item by item: each copy gets a new id and then the source's name and bytes.
    void Assign(const TSkinCollection &source);

private:
    std::vector<std::unique_ptr<TSkinCollectionItem>> items_;
    int nextId_ = 0;
};

// Several skin packages kept by the program itself, loaded with TSkinData::LoadFromCollection.
class TSkinStore {
public:
    void SetStore(const TSkinCollection &collection) { Store.Assign(collection); }
    TSkinCollection Store;
};
