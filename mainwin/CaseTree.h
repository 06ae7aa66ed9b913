#pragma once

#include "TRecordData.h"

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <vector>

class MRecordBase;
class QTreeWidget;
class QTreeWidgetItem;

// One case line of the tree, built while loading and dropped once the tree holds it.
struct TCusTreeItem {
    int id = 0;
    QString caption;
    QString category;
    quint8 imageFlag = 0; // 1 male owner, 0 female
    double dateKey = 0;   // Julian day of 1 January 01:01 of the building year; 0 when unsorted
    int surnameKey = 0;   // pinyin initial * 1000 + rank in the surname order; 0 when unsorted
    TCaseKey key;         // which case the node shows: a write by its id checks that the file still holds it
};

// How the tree shows its cases.
enum TTreeStyle { TreeGrouped = 0, TreeList = 1 };
// 0 in id order as given, 1 building year newest first, 2 oldest first, 3 surname a-z, 4 surname z-a.
enum TTreeSort { SortNone = 0, SortDateDown = 1, SortDateUp = 2, SortSurnameUp = 3, SortSurnameDown = 4 };

namespace CaseTreeText {
// The tree popup's count item: "【 n 条案例】".
QString RecordCount(int count);
// The 434 characters of the surname order, 赵 first.
const QString &SurnameOrder();
// 1-based place of the surname character c in the order (its first occurrence), 0 when it is not there.
int SurnameRank(QChar c);
// The reading of c as a surname (lower-case pinyin without tones) where it is not the character's common reading;
// nullptr where the common reading holds.
const char *SurnameReading(QChar c);
// The first character of the owner's name: the initial of its surname reading * 1000 + its rank; 0 for an empty
// name.
int SurnameKey(const QString &name);
// Julian day of 1 January 01:01 of the year.
double DateKey(int year);
// The node text: the name padded to 8 GBK bytes, the period of the building year, the sitting.
QString Caption(const TRecordData &rec);
// The sitting of a sitting item as the node text shows it: 子山午向, or 子山兼癸 for an item leaning to a side.
QString Sitting(int item);
// The owner's name with the house's sitting and building year, 陈十（子山午向，2005年）: which case of an owner
// who has several.
QString NameWithHouse(const TRecordData &rec);
TCusTreeItem MakeItem(const TRecordData &rec, int sort);
// Orders the items by the sort, keeping ties in a fixed order: within equal years the surname keys ascend,
// within equal surname keys the years descend, and items equal in both keep the order they came in.
void SortItems(std::vector<TCusTreeItem> &items, int sort);
// The listed categories that some item names, in list order.
QStringList CategoriesToShow(const QStringList &listed, const std::vector<TCusTreeItem> &items);
} // namespace CaseTreeText

// Loads the cases of ids (in that order; ids that do not load are left out) in one batch of db, and sorts them.
// Stops early, with what it has, when stop becomes true.
std::vector<TCusTreeItem> LoadCaseItems(MRecordBase &db, const QList<int> &ids, int sort,
                                        const std::atomic_bool *stop = nullptr);

// The case tree widget: category nodes, case nodes carrying their case id, and the lookups between them.
class CaseTree {
public:
    explicit CaseTree(QTreeWidget *tree);

    // Empties the tree and, in the grouped style, adds one node per category to show.
    void BeginFill(int style, const QStringList &categories);
    // Adds the case nodes of items[from, to) under their category (a category met for the first time gets a
    // node at the end), or at the top in the list style.
    void Place(const std::vector<TCusTreeItem> &items, size_t from, size_t to);
    void EndFill();
    // Takes one case node out of the tree (its category node stays).
    void Remove(QTreeWidgetItem *node);
    // Gives a case node the caption, owner's image and case key of item.
    void Update(QTreeWidgetItem *node, const TCusTreeItem &item);

    // The tree's width at which a typical case node shows whole in the grouped style, beside a vertical scroll
    // bar: a name of three Chinese characters, its period and its sitting.
    int TypicalWidth() const;

    int Style() const { return style_; }
    int Count() const { return count_; }
    QList<int> ShownIds() const;               // the case ids of all case nodes in tree order
    QTreeWidgetItem *NodeOf(int id) const;     // the case node of id, or nullptr
    static int IdOf(const QTreeWidgetItem *node); // -1 for a node that is no case node
    TCaseKey KeyOf(const QTreeWidgetItem *node) const; // the case the node was filled from
    int SelectedId() const;
    QStringList CategoryNames() const;         // empty in the list style
    QList<QTreeWidgetItem *> CategoryNodes() const;

private:
    QTreeWidgetItem *categoryNode(const QString &name);

    QTreeWidget *tree_;
    int style_ = TreeGrouped;
    int count_ = 0;
    // The keys of the case nodes, in the order they were placed (a moved case is placed again): kept apart from
    // the nodes, since item data would cost each of many thousand nodes more than the key itself.
    std::vector<std::pair<int, TCaseKey>> keys_;
    QIcon icons_[3]; // female owner, male owner, category
};
