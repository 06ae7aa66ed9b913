#include "Resources.h"

#include <QDir>
#include <QFile>
#include <QtDebug>

#include <algorithm>

#include <mutex>

// The resources live in a static library: naming its initialiser here is what makes the linker keep it.
void InitResources()
{
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(quorin_resources); });
}

namespace {

const QString stringsFolder = QStringLiteral(":/strings");
const QString textsFolder = QStringLiteral(":/texts");

QString readUtf8(const QString &path)
{
    QFile f(path);
    QString text = f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    if (text.startsWith(QChar(0xFEFF))) // an editor's byte-order mark is not part of the text
        text.remove(0, 1);
    return text;
}

QHash<int, QString> loadStringTables()
{
    InitResources();
    QHash<int, QString> table;
    const QStringList files = QDir(stringsFolder).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    for (const QString &name : files) {
        QString errors;
        if (!ParseStringTable(readUtf8(stringsFolder + QLatin1Char('/') + name), table, &errors))
            qWarning().noquote() << "string table" << name << ":" << errors;
    }
    return table;
}

// Text resource names in lower case, to their resource paths.
QHash<QString, QString> indexTexts()
{
    InitResources();
    QHash<QString, QString> index;
    const QStringList files = QDir(textsFolder).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    for (const QString &name : files)
        index.insert(name.chopped(4).toLower(), textsFolder + QLatin1Char('/') + name);
    return index;
}

} // namespace

QString UnescapeResourceText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out += c;
            continue;
        }
        const QChar next = text[i + 1];
        if (next == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (next == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (next == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        else {
            out += c;
            continue;
        }
        ++i;
    }
    return out;
}

bool ParseStringTable(const QString &fileText, QHash<int, QString> &table, QString *errors)
{
    bool clean = true;
    auto complain = [&](qsizetype lineNo, const QString &what) {
        clean = false;
        if (errors)
            *errors += QStringLiteral("line %1: %2\n").arg(lineNo).arg(what);
    };
    const QList<QStringView> lines = QStringView(fileText).split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QStringView line = lines[n];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            continue;
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        const QStringView idText = tab < 0 ? line : line.left(tab);
        bool ok = !idText.isEmpty() && std::all_of(idText.begin(), idText.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; });
        const int id = ok ? idText.toInt(&ok) : 0;
        if (tab < 0 || !ok) {
            complain(n + 1, QStringLiteral("not id<TAB>text"));
            continue;
        }
        if (table.contains(id)) {
            complain(n + 1, QStringLiteral("id %1 given twice").arg(id));
            continue;
        }
        table.insert(id, UnescapeResourceText(line.mid(tab + 1)));
    }
    return clean;
}

QString LoadStr(int id)
{
    static const QHash<int, QString> table = loadStringTables();
    return table.value(id);
}

QString LoadText(const QString &name)
{
    static const QHash<QString, QString> index = indexTexts();
    const auto it = index.constFind(name.toLower());
    return it == index.constEnd() ? QString() : readUtf8(*it);
}
