#include "TSkinStore.h"

#include <QFile>

TSkinCollectionItem::TSkinCollectionItem(TSkinCollection *owner, int id)
    : owner_(owner), id_(id), name_(QStringLiteral("SkinItem%1").arg(id))
{
}

bool TSkinCollectionItem::SetName(const QString &name, QString *error)
{
    if (name == name_)
        return true;
    for (int i = 0; i < owner_->Count(); ++i)
        if (&owner_->Item(i) != this && owner_->Item(i).Name() == name) {
            if (error)
                *error = QStringLiteral("The name ") + name + QStringLiteral(" is already used.");
            return false;
        }
    name_ = name;
    return true;
}

bool TSkinCollectionItem::LoadFromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    DataStream = file.readAll();
    return true;
}

void TSkinCollectionItem::Assign(const TSkinCollectionItem &source)
{
    name_ = source.name_;
    DataStream = source.DataStream;
}

TSkinCollectionItem &TSkinCollection::Add()
{
    items_.push_back(std::unique_ptr<TSkinCollectionItem>(new TSkinCollectionItem(this, nextId_++)));
    return *items_.back();
}

void TSkinCollection::Delete(int index)
{
    if (index >= 0 && index < Count())
        items_.erase(items_.begin() + index);
}

void TSkinCollection::Assign(const TSkinCollection &source)
{
    if (&source == this)
        return;
    items_.clear();
    for (int i = 0; i < source.Count(); ++i)
        Add().Assign(source.Item(i));
}
