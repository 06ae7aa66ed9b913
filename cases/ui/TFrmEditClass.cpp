#include "TFrmEditClass.h"

#include "ui_TFrmEditClass.h"

#include "CaseDialogText.h"
#include "CaseSearch.h"
#include "CleanName.h"
#include "GbkText.h"
#include "MRecordBase.h"
#include "Prompts.h"

#include <QFontMetrics>
#include <QShowEvent>

#include <algorithm>
#include <cmath>

namespace {

const QString kTitleNew = QStringLiteral("新类别");
const QString kPromptNew = QStringLiteral("请输入新的类别名称：        ");
const QString kAttention = QStringLiteral("注意");

// The width a category name is padded to, in GBK bytes.
constexpr int kNameColumnBytes = 12;

bool AskAttention(const QString &text)
{
    return Prompts::instance().askYesNo(kAttention, text, Prompts::Answer::No, Prompts::Icon::Warning);
}

} // namespace

bool TFrmEditClass::GbkLess::operator()(const QString &a, const QString &b) const
{
    return GbkEncode(a) < GbkEncode(b);
}

TFrmEditClass::TFrmEditClass(MRecordBase &db, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmEditClass>()), m_db(db)
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    QFont f = font();
    f.setPixelSize(16);
    setFont(f);
    connect(ui->Button1, &QPushButton::clicked, this, &TFrmEditClass::Button1Click);
    connect(ui->Button2, &QPushButton::clicked, this, &TFrmEditClass::Button2Click);
    connect(ui->Button3, &QPushButton::clicked, this, &TFrmEditClass::Button3Click);
    connect(ui->BtoDelete, &QPushButton::clicked, this, &TFrmEditClass::BtoDeleteClick);
    connect(ui->BtoRename, &QPushButton::clicked, this, &TFrmEditClass::BtoRenameClick);
    connect(ui->BtoMove, &QPushButton::clicked, this, &TFrmEditClass::BtoMoveClick);
    connect(ui->Button6, &QPushButton::clicked, this, &TFrmEditClass::Button6Click);
}

TFrmEditClass::~TFrmEditClass() = default;

QString TFrmEditClass::LineText(const QString &name, int count)
{
    const qsizetype pad = kNameColumnBytes - GbkLength(name);
    return name + QString(qMax<qsizetype>(0, pad), QLatin1Char(' ')) + QStringLiteral("  %1 案例").arg(count);
}

void TFrmEditClass::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TFrmEditClass::FormShow()
{
    m_modified = false;
    buildMap();
    fillList();
}

void TFrmEditClass::buildMap()
{
    m_map.clear();
    QStringList stored;
    m_db.ReadClasses(stored);
    for (const QString &name : stored)
        m_map[name];
    std::vector<TCaseClass> cases;
    QString message;
    ReadCaseClasses(m_db, cases, message);
    m_keys.clear();
    for (const TCaseClass &c : cases) {
        auto [it, added] = m_map.try_emplace(c.className);
        it->second.push_back(c.id);
        m_keys[c.id] = c.key;
        m_modified = m_modified || added;
    }
}

void TFrmEditClass::fillList()
{
    ui->LstClass->clear();
    QStringList stored;
    m_db.ReadClasses(stored);
    ClassMap rest = m_map;
    size_t total = 0;
    for (const QString &name : stored) {
        const auto it = rest.find(name);
        if (it == rest.end()) {
            m_modified = true; // a name listed twice is stored once
            continue;
        }
        addLine(name);
        total += it->second.size();
        rest.erase(it);
    }
    for (const auto &[name, ids] : rest) {
        addLine(name);
        total += ids.size();
        m_modified = true;
    }
    setWindowTitle(QStringLiteral("编辑类别（全部案例，共%1个）").arg(total));
}

void TFrmEditClass::addLine(const QString &name, int row)
{
    auto *item = new QListWidgetItem;
    const int height = int(std::lround(1.5 * QFontMetrics(ui->LstClass->font()).height()));
    item->setSizeHint(QSize(0, height));
    rewriteLine(item, name);
    ui->LstClass->insertItem(row < 0 ? ui->LstClass->count() : row, item);
}

void TFrmEditClass::rewriteLine(QListWidgetItem *item, const QString &name)
{
    const auto it = m_map.find(name);
    item->setData(Qt::UserRole, name);
    item->setText(LineText(name, it == m_map.end() ? 0 : int(it->second.size())));
}

QListWidgetItem *TFrmEditClass::lineOf(const QString &name) const
{
    for (int i = 0; i < ui->LstClass->count(); ++i)
        if (ui->LstClass->item(i)->data(Qt::UserRole).toString() == name)
            return ui->LstClass->item(i);
    return nullptr;
}

QString TFrmEditClass::selectedName() const
{
    const QListWidgetItem *item = ui->LstClass->currentItem();
    return item && item->isSelected() ? item->data(Qt::UserRole).toString() : QString();
}

void TFrmEditClass::moveLine(int step)
{
    const QListWidgetItem *item = ui->LstClass->currentItem();
    if (!item || !item->isSelected()) {
        ShowPlainMessage(QStringLiteral("请先点击选择一个类别！"));
        return;
    }
    const int row = ui->LstClass->row(item);
    const int target = row + step;
    if (target < 0 || target >= ui->LstClass->count()) {
        ShowPlainMessage(QStringLiteral("移动超出列表范围！"));
        return;
    }
    QListWidgetItem *moved = ui->LstClass->takeItem(row);
    ui->LstClass->insertItem(target, moved);
    ui->LstClass->setCurrentItem(moved);
    m_modified = true;
}

bool TFrmEditClass::askName(const QString &title, const QString &prompt, const QString &initial, QString &name)
{
    const std::optional<QString> typed = Prompts::instance().inputText(title, prompt, initial);
    if (!typed)
        return false;
    name = *typed;
    const NameCleaning cleaning = CleanNameTelling(name);
    // A category is named by the user: an empty box (or one of removed characters only) names none.
    if (cleaning.empty) {
        ShowPlainMessage(QStringLiteral("类别名称不能为空，请输入类别名称！"));
        return false;
    }
    if (cleaning.removed)
        ShowPlainMessage(QStringLiteral("类别名中包含：\"、*、<、>、?、\\、/、|、'、：等字符。，已经处理为合适的文本！"));
    if (cleaning.cut)
        ShowPlainMessage(QStringLiteral("类别名超过%1个字符，已经截短为前%1个字符！").arg(kCleanNameChars));
    return true;
}

void TFrmEditClass::Button3Click()
{
    QString name;
    if (!askName(kTitleNew, kPromptNew, QString(), name))
        return;
    if (m_map.count(name)) {
        ShowPlainMessage(name + QStringLiteral("：这个类别已经存在，请另外起一个名称！"));
        return;
    }
    m_map[name];
    addLine(name);
    m_modified = true;
    ShowPlainMessage(QStringLiteral("新增完成！"));
}

std::vector<int32_t> TFrmEditClass::changeCases(Change change, const std::vector<int32_t> &ids, const QString &to,
                                                QString *refusal)
{
    if (m_db.OpenDb() != 0)
        return ids;
    std::vector<int32_t> failed;
    for (int32_t id : ids) {
        const TCaseKey &read = m_keys[id];
        bool ok = false;
        if (change == Change::Delete) {
            ok = m_db.DeleteCaseBatch(id, &read);
        } else {
            TRecordData rec;
            ok = m_db.LoadCaseBatch(id, rec);
            rec.className = to;
            ok = ok && m_db.UpdateCaseBatch(id, rec, &read);
        }
        if (m_db.CaseReplaced()) { // the batch is given up: nothing of it reaches the file
            m_db.CloseDb();
            *refusal = m_db.Message();
            m_replaced = true;
            return ids;
        }
        if (!ok)
            failed.push_back(id);
    }
    // The changes reach the file together or not at all.
    return m_db.CloseDb() ? failed : ids;
}

void TFrmEditClass::BtoDeleteClick()
{
    const QString name = selectedName();
    if (name.isEmpty()) {
        ShowPlainMessage(QStringLiteral("没有选择的类别可以删除！"));
        return;
    }
    if (!AskAttention(QStringLiteral("确定要删除“%1”这个类别吗？").arg(name)))
        return;
    ui->BtoDelete->setEnabled(false);
    QString refusal;
    const std::vector<int32_t> failed = changeCases(Change::Delete, m_map[name], QString(), &refusal);
    if (!refusal.isEmpty()) {
        ShowPlainMessage(refusal);
    } else if (failed.empty()) {
        m_map.erase(name);
        delete lineOf(name);
        m_modified = true;
        ShowPlainMessage(QStringLiteral("删除完成！"));
        setWindowTitle(QStringLiteral("编辑类别（全部案例）"));
    } else {
        ShowPlainMessage(name + QStringLiteral("：这个类别的案例没有删除完！"));
        m_map[name] = failed;
        rewriteLine(lineOf(name), name);
    }
    ui->BtoDelete->setEnabled(true);
}

void TFrmEditClass::BtoRenameClick()
{
    const QString old = selectedName();
    if (old.isEmpty()) {
        ShowPlainMessage(QStringLiteral("没有选择的类别可以修改！"));
        return;
    }
    QString name;
    if (!AskAttention(QStringLiteral("确定要修改“%1”这个类别吗？").arg(old)) || !askName(kTitleNew, kPromptNew, old, name))
        return;
    if (name == old) {
        ShowPlainMessage(QStringLiteral("类别名称没有改变，请输入新的名称！"));
        return;
    }
    if (m_map.count(name)) {
        ShowPlainMessage(name + QStringLiteral("：这个类别已经存在，请另外起一个名称！"));
        return;
    }
    ui->BtoRename->setEnabled(false);
    const std::vector<int32_t> ids = m_map[old];
    QString refusal;
    const std::vector<int32_t> failed = changeCases(Change::Rename, ids, name, &refusal);
    if (!refusal.isEmpty()) {
        ShowPlainMessage(refusal);
    } else if (!failed.empty()) {
        ShowPlainMessage(old + QStringLiteral("：这个类别的案例没有修改完！"));
        m_map[old] = failed;
        rewriteLine(lineOf(old), old);
    } else {
        QListWidgetItem *line = lineOf(old);
        m_map.erase(old);
        m_map[name] = ids;
        rewriteLine(line, name);
        m_modified = true;
        ShowPlainMessage(QStringLiteral("改名完成！"));
    }
    ui->BtoRename->setEnabled(true);
}

void TFrmEditClass::BtoMoveClick()
{
    const QString from = selectedName();
    if (from.isEmpty()) {
        ShowPlainMessage(QStringLiteral("没有选择的类别可以移动！"));
        return;
    }
    if (m_map[from].empty()) {
        ShowPlainMessage(QStringLiteral("这个类别没有案例可以移动！"));
        return;
    }
    QString to;
    if (!AskAttention(QStringLiteral("确定要移动“%1”这个类别吗？").arg(from)) ||
        !askName(QStringLiteral("目的类别"), QStringLiteral("请输入要移动到目的类别名称：        "), QString(), to))
        return;
    if (to == from) {
        ShowPlainMessage(QStringLiteral("同组类别不能移动，请输入已经存在的其他类别名称！"));
        return;
    }
    if (!lineOf(to)) {
        ShowPlainMessage(QStringLiteral("请输入已经存在的类别名称，如果不存在可以先新建一个。"));
        return;
    }
    ui->BtoMove->setEnabled(false);
    const std::vector<int32_t> ids = m_map[from];
    QString refusal;
    const std::vector<int32_t> failed = changeCases(Change::Move, ids, to, &refusal);
    if (!refusal.isEmpty()) {
        ShowPlainMessage(refusal);
        ui->BtoMove->setEnabled(true);
        return;
    }
    if (!failed.empty())
        ShowPlainMessage(from + QStringLiteral("：这个类别的案例没有移动完！"));
    for (int32_t id : ids)
        if (std::find(failed.begin(), failed.end(), id) == failed.end())
            m_map[to].push_back(id);
    m_map[from] = failed;
    rewriteLine(lineOf(from), from);
    rewriteLine(lineOf(to), to);
    m_modified = true;
    ShowPlainMessage(QStringLiteral("移动完成！"));
    ui->BtoMove->setEnabled(true);
}

void TFrmEditClass::done(int result)
{
    // The category list read belongs to the file the dialog read: it is not written into one put in its place.
    if (m_modified && !m_replaced) {
        QStringList names;
        for (int i = 0; i < ui->LstClass->count(); ++i)
            names << ui->LstClass->item(i)->data(Qt::UserRole).toString();
        m_db.WriteClasses(names);
    }
    QDialog::done(result);
}
