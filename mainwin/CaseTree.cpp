#include "CaseTree.h"

#include "ChartInputs.h"
#include "GbkText.h"
#include "ImCode.h"
#include "MRecordBase.h"
#include "MYiDateEx.h"
#include "NameTables.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyle>
#include <QTreeWidget>

#include <algorithm>
#include <cctype>
#include <unordered_map>

namespace CaseTreeText {

QString RecordCount(int count) { return QStringLiteral("【 %1 条案例】").arg(count); }

const QString &SurnameOrder()
{
    static const QString order = QStringLiteral(
        "赵钱孙李周吴郑王冯陈褚卫蒋沈韩杨朱秦尤许何吕施张孔曹严华金魏陶姜戚谢邹喻柏水窦章云苏潘葛奚范彭郎鲁韦昌马苗凤"
        "花方俞任袁柳酆鲍史唐费廉岑薛雷贺倪汤滕殷罗毕郝邬安常乐于时傅皮卞齐康伍余元卜顾孟平黄和穆萧尹姚邵舒汪祁毛禹狄"
        "米贝明臧计伏成戴谈宋茅庞熊纪屈项祝董杜阮蓝闵席季麻强贾路娄危江童颜郭梅盛林刁钟徐邱骆高夏蔡田樊胡凌霍虞万支柯"
        "咎管卢莫经房裘缪干解应宗宣丁贲邓郁单杭洪包诸左石崔吉钮龚程嵇邢滑裴陆荣翁荀羊於惠甄加封芮羿储靳汲邴糜松井段富"
        "巫乌焦巴弓牧隗山谷车候宓蓬全郗班仰秋仲尹宫宁仇栾暴甘钭厉戎祖武符刘詹束龙叶辛司韶郜黎蓟薄印宿白怀蒲台从鄂索咸"
        "籍赖卓蔺屠蒙池乔阴胥能苍双闻莘党翟谭贡劳逄姬申扶堵冉宰郦雍璩桑桂濮牛寿通边扈燕冀郏浦尚农温别庄晏柴瞿阎充慕连"
        "茹习宦艾鱼容向古易慎戈廖庚终暨居衡步都耿满弘匡国文寇广禄阙东殳沃利蔚越夔隆师巩厍聂晁勾敖融冷訾辛阚那简饶空曾"
        "毋沙乜养鞠须丰巢关蒯相查后红游竺权逯盖益桓公晋楚法汝鄢涂钦缑亢况有商牟佘佴伯赏墨哈谯笪年爱阳佟琴言福百家姓续"
        "岳帅");
    return order;
}

int SurnameRank(QChar c)
{
    // Character by character: a search over the GBK bytes could match a trail byte and the next lead byte.
    static const std::unordered_map<char16_t, int> rank = [] {
        std::unordered_map<char16_t, int> r;
        const QString &order = SurnameOrder();
        for (int i = 0; i < order.size(); ++i)
            r.emplace(order.at(i).unicode(), i + 1); // the first occurrence counts
        return r;
    }();
    const auto it = rank.find(c.unicode());
    return it == rank.end() ? 0 : it->second;
}

const char *SurnameReading(QChar c)
{
    // Characters whose reading as a surname is not their common one, the one the pinyin table keeps for the rest
    // of a name (乐 is lè in 快乐 but Yuè as a surname).
    static const std::unordered_map<char16_t, const char *> readings = {
        {u'卜', "bu"},   {u'缪', "miao"}, {u'解', "xie"},  {u'单', "shan"}, {u'隗', "wei"},  {u'仇', "qiu"},
        {u'薄', "bo"},   {u'翟', "zhai"}, {u'能', "nai"},  {u'都', "du"},   {u'蔚', "yu"},   {u'阚', "kan"},
        {u'曾', "zeng"}, {u'乜', "nie"},  {u'查', "zha"},  {u'盖', "ge"},   {u'佴', "nai"},  {u'乐', "yue"},
        {u'区', "ou"},   {u'朴', "piao"}, {u'覃', "qin"},  {u'种', "chong"}, {u'繁', "po"},  {u'员', "yun"},
        {u'秘', "bi"},   {u'召', "shao"}, {u'句', "gou"},  {u'折', "she"},  {u'祭', "zhai"}, {u'洗', "xian"},
        {u'黑', "he"}};
    const auto it = readings.find(c.unicode());
    return it == readings.end() ? nullptr : it->second;
}

int SurnameKey(const QString &name)
{
    if (name.isEmpty())
        return 0;
    const QString first = name.left(name.at(0).isHighSurrogate() ? 2 : 1);
    const char *reading = first.size() == 1 ? SurnameReading(first.at(0)) : nullptr;
    int c = 0;
    if (reading) {
        c = std::toupper(uchar(reading[0]));
    } else {
        static const ImCode im;
        QByteArray pinyin = im.Convert(GbkEncode(first), 0);
        if (pinyin.size() == 2)
            pinyin = pinyin.toUpper();
        c = pinyin.isEmpty() ? 0 : int(static_cast<signed char>(pinyin.at(0)));
    }
    return c * 1000 + (first.size() == 1 ? SurnameRank(first.at(0)) : 0);
}

double DateKey(int year) { return MYiDateEx::ToJD(TDateRec{int16_t(year), 1, 1, 1, 1}); }

QString Caption(const TRecordData &rec)
{
    QString caption = rec.name;
    for (qsizetype bytes = GbkLength(caption); bytes < 8; ++bytes)
        caption += QLatin1Char(' ');
    // The period as the window's period box shows it, for every building year a case accepts.
    if (const int period = ChartInputs::PeriodIndexOfYear(rec.buildYear); period >= 0) {
        const auto numeral = ShuZi(period + 1);
        caption += QString::fromUtf8(numeral.data(), qsizetype(numeral.size())) + QStringLiteral("运  ");
    }
    return caption + Sitting(rec.mountain);
}

QString Sitting(int item)
{
    const int m = item / 4;
    const int s = item % 4 == 0 ? -1 : item % 4 == 2 ? 1 : 0;
    auto shan = [](int mountain) {
        const auto name = Shan(mountain);
        return QString::fromUtf8(name.data(), qsizetype(name.size()));
    };
    const QString lean = s != 0 ? QStringLiteral("兼") + shan(m + s + 24) : shan(m + 12) + QStringLiteral("向");
    return shan(m) + QStringLiteral("山") + lean;
}

QString NameWithHouse(const TRecordData &rec)
{
    return QStringLiteral("%1（%2，%3年）").arg(rec.name, Sitting(rec.mountain), QString::number(rec.buildYear));
}

TCusTreeItem MakeItem(const TRecordData &rec, int sort)
{
    TCusTreeItem item;
    item.id = rec.id;
    item.caption = Caption(rec);
    item.category = rec.className;
    item.imageFlag = rec.sex != 0 ? 1 : 0;
    item.key = CaseKeyOf(rec);
    if (sort != SortNone) {
        item.dateKey = DateKey(rec.buildYear);
        item.surnameKey = SurnameKey(rec.name);
    }
    return item;
}

void SortItems(std::vector<TCusTreeItem> &items, int sort)
{
    auto byDate = [](bool newestFirst) {
        return [newestFirst](const TCusTreeItem &a, const TCusTreeItem &b) {
            if (a.dateKey != b.dateKey)
                return newestFirst ? a.dateKey > b.dateKey : a.dateKey < b.dateKey;
            return a.surnameKey < b.surnameKey;
        };
    };
    auto bySurname = [](bool ascending) {
        return [ascending](const TCusTreeItem &a, const TCusTreeItem &b) {
            if (a.surnameKey != b.surnameKey)
                return ascending ? a.surnameKey < b.surnameKey : a.surnameKey > b.surnameKey;
            return a.dateKey > b.dateKey;
        };
    };
    switch (sort) {
    case SortDateDown:
        std::stable_sort(items.begin(), items.end(), byDate(true));
        break;
    case SortDateUp:
        std::stable_sort(items.begin(), items.end(), byDate(false));
        break;
    case SortSurnameUp:
        std::stable_sort(items.begin(), items.end(), bySurname(true));
        break;
    case SortSurnameDown:
        std::stable_sort(items.begin(), items.end(), bySurname(false));
        break;
    default:
        break;
    }
}

QStringList CategoriesToShow(const QStringList &listed, const std::vector<TCusTreeItem> &items)
{
    QSet<QString> named;
    for (const TCusTreeItem &item : items)
        named.insert(item.category);
    QStringList shown;
    for (const QString &name : listed)
        if (named.contains(name) && !shown.contains(name))
            shown << name;
    return shown;
}

} // namespace CaseTreeText

std::vector<TCusTreeItem> LoadCaseItems(MRecordBase &db, const QList<int> &ids, int sort, const std::atomic_bool *stop)
{
    std::vector<TCusTreeItem> items;
    items.reserve(size_t(ids.size()));
    {
        MRecordBase::Batch batch(db);
        TRecordData rec;
        for (int id : ids) {
            if (stop && stop->load(std::memory_order_relaxed))
                break;
            if (db.LoadCaseBatch(id, rec))
                items.push_back(CaseTreeText::MakeItem(rec, sort));
        }
    }
    CaseTreeText::SortItems(items, sort);
    return items;
}

namespace {

// The key of case id in keys: the one placed last; nullptr for none.
template <typename Keys>
auto *FindKey(Keys &keys, int id)
{
    const auto it = std::find_if(keys.rbegin(), keys.rend(), [id](const auto &k) { return k.first == id; });
    return id >= 0 && it != keys.rend() ? &*it : nullptr;
}

// A small figure in the owner's colour: image 0 (female) and 1 (male); selected, it is drawn on white.
QIcon PersonIcon(const QColor &colour)
{
    QIcon icon;
    for (const bool selected : {false, true}) {
        QPixmap pm(16, 16);
        pm.fill(selected ? Qt::white : Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(QRectF(5, 1, 6, 6));
        p.drawRoundedRect(QRectF(3, 8, 10, 7), 3, 3);
        p.end();
        icon.addPixmap(pm, selected ? QIcon::Selected : QIcon::Normal);
    }
    return icon;
}

} // namespace

CaseTree::CaseTree(QTreeWidget *tree) : tree_(tree)
{
    icons_[0] = PersonIcon(QColor(200, 40, 60));
    icons_[1] = PersonIcon(QColor(30, 80, 190));
    icons_[2] = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    // Captions line up by padding names with blanks to 8 GBK bytes: that needs a font whose Chinese characters
    // are exactly two blanks wide.
    QFont font = tree_->font();
    font.setFamilies({QStringLiteral("Noto Sans Mono CJK SC"), QStringLiteral("AR PL UMing CN")});
    tree_->setFont(font);
    // A caption wider than the tree scrolls sideways rather than being cut short.
    tree_->header()->setStretchLastSection(false);
    tree_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tree_->setTextElideMode(Qt::ElideNone);
}

void CaseTree::BeginFill(int style, const QStringList &categories)
{
    style_ = style == TreeList ? TreeList : TreeGrouped;
    count_ = 0;
    keys_.clear();
    tree_->setUpdatesEnabled(false);
    tree_->clear();
    if (style_ == TreeGrouped)
        for (const QString &name : categories)
            categoryNode(name);
}

QTreeWidgetItem *CaseTree::categoryNode(const QString &name)
{
    for (int i = tree_->topLevelItemCount() - 1; i >= 0; --i)
        if (tree_->topLevelItem(i)->text(0) == name)
            return tree_->topLevelItem(i);
    auto *node = new QTreeWidgetItem(QStringList{name});
    node->setIcon(0, icons_[2]);
    tree_->addTopLevelItem(node);
    return node;
}

void CaseTree::Place(const std::vector<TCusTreeItem> &items, size_t from, size_t to)
{
    to = std::min(to, items.size());
    // Nodes are handed to the tree in runs of one parent each: one model update per run, not per node.
    QTreeWidgetItem *parent = nullptr;
    QList<QTreeWidgetItem *> run;
    auto flush = [&] {
        if (run.isEmpty())
            return;
        if (parent)
            parent->addChildren(run);
        else
            tree_->addTopLevelItems(run);
        run.clear();
    };
    for (size_t i = from; i < to; ++i) {
        const TCusTreeItem &item = items[i];
        QTreeWidgetItem *wanted = style_ == TreeGrouped ? categoryNode(item.category) : nullptr;
        if (wanted != parent) {
            flush();
            parent = wanted;
        }
        auto *node = new QTreeWidgetItem(QStringList{item.caption});
        node->setIcon(0, icons_[item.imageFlag ? 1 : 0]);
        node->setData(0, Qt::UserRole, item.id);
        keys_.emplace_back(item.id, item.key);
        run << node;
        ++count_;
    }
    flush();
}

void CaseTree::EndFill() { tree_->setUpdatesEnabled(true); }

int CaseTree::TypicalWidth() const
{
    TRecordData typical;
    typical.name = QStringLiteral("张三丰");
    typical.buildYear = 2004;
    typical.mountain = 5; // 子山午向
    const QStyle *style = tree_->style();
    const int icon = tree_->iconSize().isValid() ? tree_->iconSize().width()
                                                  : style->pixelMetric(QStyle::PM_SmallIconSize, nullptr, tree_);
    // The item keeps a margin either side of its icon and of its text.
    const int margins = 4 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, tree_) + 1);
    const int text = tree_->fontMetrics().horizontalAdvance(CaseTreeText::Caption(typical));
    // A case node stands one level below its category, and the top level has its branch marks too.
    return 2 * tree_->frameWidth() + 2 * tree_->indentation() + icon + margins + text +
           style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, tree_);
}

void CaseTree::Remove(QTreeWidgetItem *node)
{
    if (IdOf(node) < 0)
        return;
    if (auto *key = FindKey(keys_, IdOf(node)))
        *key = {-1, {}};
    delete node;
    --count_;
}

void CaseTree::Update(QTreeWidgetItem *node, const TCusTreeItem &item)
{
    node->setText(0, item.caption);
    node->setIcon(0, icons_[item.imageFlag ? 1 : 0]);
    if (auto *key = FindKey(keys_, IdOf(node)))
        key->second = item.key;
}

TCaseKey CaseTree::KeyOf(const QTreeWidgetItem *node) const
{
    const auto *key = FindKey(keys_, IdOf(node));
    return key ? key->second : TCaseKey{};
}

int CaseTree::IdOf(const QTreeWidgetItem *node)
{
    if (!node)
        return -1;
    const QVariant v = node->data(0, Qt::UserRole);
    return v.isValid() ? v.toInt() : -1;
}

QList<int> CaseTree::ShownIds() const
{
    QList<int> ids;
    ids.reserve(count_);
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem *top = tree_->topLevelItem(i);
        if (style_ == TreeList) {
            ids << IdOf(top);
            continue;
        }
        for (int j = 0; j < top->childCount(); ++j)
            ids << IdOf(top->child(j));
    }
    ids.removeAll(-1);
    return ids;
}

QTreeWidgetItem *CaseTree::NodeOf(int id) const
{
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
        QTreeWidgetItem *top = tree_->topLevelItem(i);
        if (style_ == TreeList) {
            if (IdOf(top) == id)
                return top;
            continue;
        }
        for (int j = 0; j < top->childCount(); ++j)
            if (IdOf(top->child(j)) == id)
                return top->child(j);
    }
    return nullptr;
}

int CaseTree::SelectedId() const { return IdOf(tree_->currentItem()); }

QStringList CaseTree::CategoryNames() const
{
    QStringList names;
    for (QTreeWidgetItem *node : CategoryNodes())
        names << node->text(0);
    return names;
}

QList<QTreeWidgetItem *> CaseTree::CategoryNodes() const
{
    QList<QTreeWidgetItem *> nodes;
    if (style_ == TreeGrouped)
        for (int i = 0; i < tree_->topLevelItemCount(); ++i)
            nodes << tree_->topLevelItem(i);
    return nodes;
}
