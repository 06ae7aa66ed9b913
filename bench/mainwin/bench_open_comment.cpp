// Opening a case whose comment file is large (1, 5 and 20 MB of RTF; 0: a comment of a few lines) in the shown
// main window, as a click on the tree does, beside reading the same file into a document of no window. The time
// is the window's until it shows the case and takes input again; `rest_ms` is what laying out the rest of the
// comment then costs, which the pane does in steps while the window runs. The comment is Chinese text (GBK
// escapes, as the program writes it) in four shapes: short paragraphs, one long paragraph (text pasted without
// its line breaks), a bulleted and a numbered list. Target: in proportion to the file's size, a few tenths of a
// second for 5 MB. A numbered list still costs the square of its length: Qt marks every item of a list changed
// when one is added, and a numbered list cannot be split without restarting its numbers.
#include "AppPath.h"
#include "CaseFiles.h"
#include "CommentFile.h"
#include "MRecordBase.h"
#include "QuickRun.h"
#include "RtfText.h"
#include "ScriptedPrompts.h"
#include "TFrmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextEdit>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <vector>

namespace {

enum Shape { Paragraphs, OneParagraph, List, NumberedList };

// A comment of about `megabytes` MB of RTF: paragraphs of about 120 characters each beginning with a bold,
// coloured run; or one paragraph with such a run every sentence (text pasted without its line breaks); or a
// bulleted or a numbered list of those paragraphs.
QByteArray CommentRtf(int megabytes, Shape shape)
{
    const QString sentence = QStringLiteral("当运旺星到向，门路开阔，宜静不宜动。");
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat plain, marked;
    marked.setFontWeight(QFont::Bold);
    marked.setForeground(QColor(0xC0, 0, 0));
    c.beginEditBlock(); // one change: no cursor position is laid out at each insert
    if (shape == List || shape == NumberedList) {
        QTextListFormat list;
        list.setStyle(shape == List ? QTextListFormat::ListDisc : QTextListFormat::ListDecimal);
        c.createList(list);
    }
    // About 8 bytes of RTF a character (\'hh\'hh), a little more for each run.
    for (int p = 0; doc.characterCount() * 8 < megabytes * 1000000; ++p) {
        if (p > 0 && shape != OneParagraph)
            c.insertBlock();
        c.insertText(QStringLiteral("第%1段：").arg(p), marked);
        c.insertText(sentence.repeated(6), plain);
    }
    c.endEditBlock();
    return WriteRtf(doc);
}

// A program folder with one case, whose comment file is the comment of `megabytes` MB.
struct Folder {
    QTemporaryDir dir;
    QString app = dir.path() + "/";
    qint64 bytes = 0;
    Folder(int megabytes, Shape shape)
    {
        SetAppPath(app);
        MakeProgramFolders();
        MRecordBase db(app);
        db.Open(MRecordBase::DefaultPath(app));
        TRecordData r;
        r.name = QStringLiteral("张三");
        r.className = QStringLiteral("小区套房");
        r.date = {1980, 5, 6, 7, 8};
        r.buildYear = 2004;
        r.mountain = 5; // 子山午向, at its degree 0
        r.remarkFile = QStringLiteral("张三_198005060708");
        db.InsertCase(r);
        QFile f(RemarkFilePath(app, r.remarkFile));
        f.open(QIODevice::WriteOnly);
        bytes = f.write(CommentRtf(megabytes, shape));
    }
    QString comment() const { return RemarkFilePath(app, QStringLiteral("张三_198005060708")); }
};

Folder &FolderWith(const benchmark::State &state)
{
    static std::map<std::pair<int, int>, std::unique_ptr<Folder>> folders;
    const int megabytes = int(state.range(0));
    const auto shape = Shape(state.range(1));
    auto &f = folders[{megabytes, shape}];
    if (!f)
        f = std::make_unique<Folder>(megabytes, shape);
    SetAppPath(f->app);
    return *f;
}

// Args: the comment's size in MB (a quick run takes the two smallest), its shape.
void Comments(benchmark::internal::Benchmark *b)
{
    b->ArgNames({"MB", "shape"})
        ->ArgsProduct({QuickRun() ? std::vector<int64_t>{0, 1} : std::vector<int64_t>{0, 1, 5, 20},
                       {Paragraphs, OneParagraph, List, NumberedList}})
        ->Unit(benchmark::kMillisecond)
        ->Iterations(Sized(2, 1));
}

// The case is opened into a shown window.
void BM_OpenCaseWithLargeComment(benchmark::State &state)
{
    Folder &folder = FolderWith(state);
    state.counters["MB"] = double(folder.bytes) / 1e6;
    ScriptedPrompts prompts;
    TFrmMain w;
    w.show();
    QApplication::processEvents();
    QTextDocument *pane = w.findChild<QTextEdit *>(QStringLiteral("RedtPingYu"))->document();
    double restMs = 0;
    for (auto _ : state) {
        if (!w.OpenCase(1)) {
            state.SkipWithError(prompts.asked().isEmpty() ? "the case does not open"
                                                          : qPrintable(prompts.asked().last().text));
            break;
        }
        QApplication::processEvents(); // the pane shows it: its top laid out and painted
        state.PauseTiming();
        QElapsedTimer rest;
        rest.start();
        pane->pageCount(); // the layout finished
        restMs += double(rest.nsecsElapsed()) / 1e6;
        state.ResumeTiming();
    }
    state.counters["rest_ms"] = benchmark::Counter(restMs, benchmark::Counter::kAvgIterations);
    prompts.reply(Prompts::Answer::Yes);
    w.close();
}
BENCHMARK(BM_OpenCaseWithLargeComment)->Apply(Comments);

// The comment file alone, read into a document of no window.
void BM_LoadLargeCommentFile(benchmark::State &state)
{
    Folder &folder = FolderWith(state);
    state.counters["MB"] = double(folder.bytes) / 1e6;
    for (auto _ : state) {
        QTextDocument doc;
        if (!LoadCommentFile(folder.comment(), doc))
            state.SkipWithError("the comment does not load");
    }
}
BENCHMARK(BM_LoadLargeCommentFile)->Apply(Comments);

} // namespace
