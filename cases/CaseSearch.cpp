#include "CaseSearch.h"

#include "CaseFiles.h"
#include "MRecordBase.h"
#include "MathUtil.h"
#include "NameTables.h"
#include "SqliteSession.h"

#include <QFile>
#include <QFileInfo>
#include <QVarLengthArray>

#include <sqlite3.h>

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>


namespace {

enum Column { ColId = 0, ColName = 1, ColSex = 2, ColClassName = 3, ColDateY = 4, ColDateNum = 5,
              ColAddrName = 8, ColRemarkFile = 10, ColJianShan = 14 };

bool EqualsIgnoringAsciiCase(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode(), y = b[i].unicode();
        auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; };
        if (lower(x) != lower(y))
            return false;
    }
    return true;
}

// A position search: an empty word is found nowhere.
bool Contains(const QString &text, const QString &word) { return !word.isEmpty() && text.contains(word); }

bool TextMatches(const QString &text, const QString &wanted, uint8_t mode)
{
    return mode == 2 ? EqualsIgnoringAsciiCase(text, wanted) : Contains(text, wanted);
}

// Reads the wanted columns of the cases 1..primaryId in id order with one statement, each row into a record as
// loading the case would fill it (a column the file lacks reads as empty, and so as its default).
class CaseScan {
public:
    CaseScan(MRecordBase &db, const std::vector<int> &wanted)
    {
        const QByteArray path = QFileInfo(db.Path()).absoluteFilePath().toUtf8();
        if (db.Path().isEmpty() || session_.open(path, false) != SQLITE_OK) {
            error_ = session_.errorText();
            return;
        }
        const std::vector<int> present = PresentColumns();
        sql_ = "select id";
        for (int c : wanted) {
            if (present[size_t(c)] >= 0) {
                sql_ += std::string(",") + kCaseColumns[size_t(c)];
                columns_.push_back(c);
            }
        }
        sql_ += " from case_data where id between 1 and ? order by id;";
        stmt_ = session_.statement(sql_.c_str());
        if (!stmt_ || sqlite3_bind_int64(stmt_, 1, db.GetPrimaryId()) != SQLITE_OK)
            error_ = session_.errorText();
        values_ = QStringList(kCaseColumnCount, QString());
    }
    ~CaseScan()
    {
        if (stmt_)
            sqlite3_reset(stmt_);
    }
    CaseScan(const CaseScan &) = delete;
    CaseScan &operator=(const CaseScan &) = delete;

    bool ok() const { return error_.isEmpty(); }
    const QString &error() const { return error_; }

    // The next case; false at the end or on a failure (then error() is set).
    bool next(TRecordData &rec)
    {
        if (!ok())
            return false;
        const int rc = sqlite3_step(stmt_);
        if (rc != SQLITE_ROW) {
            if (rc != SQLITE_DONE)
                error_ = session_.errorText();
            return false;
        }
        for (size_t i = 0; i < columns_.size(); ++i)
            values_[columns_[i]] = Text(int(i) + 1);
        ValuesToRecord(values_, rec);
        // The key column always holds an integer (the rows are selected by it).
        rec.id = int32_t(sqlite3_column_int64(stmt_, 0));
        return true;
    }

private:
    std::vector<int> PresentColumns()
    {
        const char *probe = "select * from case_data limit 0;";
        if (!session_.statement(probe))
            return std::vector<int>(kCaseColumnCount, -1);
        return session_.columnsByName(probe, kCaseColumns.data(), kCaseColumnCount);
    }

    // A column as the case loader reads it: UTF-8, a leading byte-order mark kept as a character.
    QString Text(int column) const
    {
        const auto *chars = reinterpret_cast<const char *>(sqlite3_column_text(stmt_, column));
        return StoredText(chars, sqlite3_column_bytes(stmt_, column));
    }

    SqliteSession session_;
    std::string sql_;
    sqlite3_stmt *stmt_ = nullptr;
    std::vector<int> columns_;
    QStringList values_;
    QString error_;
};

template <typename Match>
bool Scan(MRecordBase &db, const std::vector<int> &wanted, CommentTexts &comments, std::vector<int32_t> &ids,
          QString &message, Match match)
{
    ids.clear();
    CaseScan scan(db, wanted);
    comments.BeginScan();
    TRecordData rec;
    while (scan.next(rec)) {
        if (match(rec))
            ids.push_back(rec.id);
    }
    if (scan.ok())
        return true;
    message = scan.error();
    ids.clear();
    return false;
}

} // namespace

CommentTexts::CommentTexts(const QString &appFolder, Reader reader) : appFolder_(appFolder), reader_(std::move(reader)) {}

void CommentTexts::BeginScan()
{
    listed_ = false;
    scanning_ = true;
}

void CommentTexts::ListFolder()
{
    present_.clear();
    if (DIR *d = ::opendir(QFile::encodeName(CaseFolder(appFolder_)).constData())) {
        while (const dirent *e = ::readdir(d)) {
            const QByteArrayView name(e->d_name);
            if (name.endsWith(".rtf"))
                present_.insert(QFile::decodeName(name.chopped(4).toByteArray()));
        }
        ::closedir(d);
    }
    listed_ = true;
}

QString CommentTexts::Text(const QString &remarkFile)
{
    if (scanning_ && !listed_)
        ListFolder();
    if (listed_ && !present_.contains(remarkFile))
        return {};
    const QString path = RemarkFilePath(appFolder_, remarkFile);
    if (path.isEmpty())
        return {};
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const qint64 mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    Entry &e = cache_[remarkFile];
    if (e.inode != quint64(st.st_ino) || e.size != qint64(st.st_size) || e.mtimeNs != mtimeNs)
        e = {quint64(st.st_ino), qint64(st.st_size), mtimeNs, reader_ ? reader_(path) : QString()};
    return e.text;
}

QString BirthHourBranch(int hour)
{
    const std::string_view name = HourZhiName(hour);
    return QString::fromUtf8(name.data(), qsizetype(name.size()));
}

void CaseSummary(const TRecordData &rec, QStringList &texts)
{
    texts.clear();
    texts.reserve(8);
    texts << rec.name << (rec.sex ? QStringLiteral("男") : QStringLiteral("女")) << rec.address << rec.className
          << QString::number(rec.date.year) + u'年' << QString::number(rec.date.month) + u'月'
          << QString::number(rec.date.day) + u'日' << BirthHourBranch(rec.date.hour) + u'时';
}

bool MatchesConditions(const TRecordData &rec, const TSearchData &cond, const std::function<QString()> &comment)
{
    if (cond.nameMode != 0 && !TextMatches(rec.name, cond.name, cond.nameMode))
        return false;
    if (cond.classMode != 0 && !TextMatches(rec.className, cond.category, cond.classMode))
        return false;
    if (cond.sexOn && rec.sex != cond.sex)
        return false;
    if (cond.yearOn && (rec.buildYear < cond.yearFrom || rec.buildYear > cond.yearTo))
        return false;
    return !cond.commentOn || Contains(comment(), cond.comment);
}

bool MatchesKeywords(const TRecordData &rec, const QStringList &keywords, const std::function<QString()> &comment)
{
    QVarLengthArray<bool, 16> taken(keywords.size(), false);
    qsizetype left = keywords.size();
    QStringList texts;
    CaseSummary(rec, texts);
    for (const QString &text : texts) {
        if (left == 0)
            return true;
        for (qsizetype k = 0; k < keywords.size(); ++k) {
            if (!taken[k] && Contains(text, keywords[k])) {
                taken[k] = true;
                --left;
                break;
            }
        }
    }
    if (left == 0)
        return true;
    // The comment text is the ninth text: it can take the one keyword still left, never two.
    if (left != 1)
        return false;
    const qsizetype last = std::find(taken.begin(), taken.end(), false) - taken.begin();
    return Contains(comment(), keywords[last]);
}

bool Search(MRecordBase &db, const TSearchData &cond, CommentTexts &comments, std::vector<int32_t> &ids,
            QString &message)
{
    // Only the columns of the conditions that are on.
    std::vector<int> wanted;
    if (cond.nameMode != 0)
        wanted.push_back(ColName);
    if (cond.classMode != 0)
        wanted.push_back(ColClassName);
    if (cond.sexOn)
        wanted.push_back(ColSex);
    if (cond.yearOn)
        wanted.push_back(ColJianShan);
    if (cond.commentOn)
        wanted.push_back(ColRemarkFile);
    return Scan(db, wanted, comments, ids, message,
                [&](const TRecordData &rec) {
                    return MatchesConditions(rec, cond, [&] { return comments.Text(rec.remarkFile); });
                });
}

bool FuzzySearch(MRecordBase &db, const QStringList &keywords, CommentTexts &comments, std::vector<int32_t> &ids,
                 QString &message)
{
    return Scan(db, {ColName, ColSex, ColAddrName, ColClassName, ColDateY, ColDateNum, ColRemarkFile}, comments,
                ids, message, [&](const TRecordData &rec) {
                    return MatchesKeywords(rec, keywords, [&] { return comments.Text(rec.remarkFile); });
                });
}

QStringList SplitKeywords(const QString &text)
{
    QStringList words;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool blank = i == text.size() || text[i].isSpace();
        if (!blank && start < 0)
            start = i;
        else if (blank && start >= 0) {
            words << text.mid(start, i - start);
            start = -1;
        }
    }
    return words;
}

bool ReadCaseClasses(MRecordBase &db, std::vector<TCaseClass> &cases, QString &message)
{
    cases.clear();
    CaseScan scan(db, {ColName, ColClassName, ColRemarkFile});
    TRecordData rec;
    while (scan.next(rec))
        cases.push_back({rec.id, rec.className, CaseKeyOf(rec)});
    if (scan.ok())
        return true;
    message = scan.error();
    cases.clear();
    return false;
}
