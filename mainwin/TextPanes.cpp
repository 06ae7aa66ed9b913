#include "TextPanes.h"

#include "FileDialogs.h"
#include "FileRead.h"
#include "FileWrite.h"
#include "GbkText.h"
#include "PictureOutput.h"
#include "Prompts.h"
#include "RtfText.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <cerrno>

namespace TextPanes {

namespace {

const QString kRtf = QStringLiteral(".rtf");
const QString kTxt = QStringLiteral(".txt");
const QString kSaveFilter = QStringLiteral("Rtf格式 (*.rtf);;Txt格式 (*.txt)");
const QString kImportFilter = QStringLiteral("All.rtf (*.rtf);;All.txt (*.txt)");

QTextCharFormat plainFormat(const QFont &font)
{
    QTextCharFormat f;
    f.setFontFamilies({font.family()});
    if (font.pointSizeF() > 0)
        f.setFontPointSize(font.pointSizeF());
    f.setForeground(QColor(Qt::black));
    f.setFontWeight(QFont::Normal);
    f.setFontItalic(false);
    f.setFontUnderline(false);
    f.setFontStrikeOut(false);
    return f;
}

void inform(const QString &text)
{
    Prompts::instance().inform(QApplication::applicationDisplayName(), text);
}

} // namespace

SaveKind SaveKindOf(const QString &chosen, const QString &selectedFilter)
{
    if (chosen.endsWith(kTxt, Qt::CaseInsensitive))
        return SaveKind::Plain;
    if (chosen.endsWith(kRtf, Qt::CaseInsensitive))
        return SaveKind::Rich;
    return selectedFilter.startsWith(QStringLiteral("Txt")) ? SaveKind::Plain : SaveKind::Rich;
}

QString SavePath(const QString &chosen, SaveKind kind)
{
    const QString &ext = kind == SaveKind::Plain ? kTxt : kRtf;
    return chosen.endsWith(ext, Qt::CaseInsensitive) ? chosen : chosen + ext;
}

bool SaveDocument(const QTextDocument &doc, const QString &path, SaveKind kind, QString *why)
{
    QByteArray bytes;
    if (kind == SaveKind::Rich) {
        bytes = WriteRtf(doc);
    } else {
        QString text = doc.toPlainText();
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        bytes = GbkEncode(text);
    }
    const FileWriteResult written = WriteWholeFile(path, bytes);
    if (!written.ok() && why)
        *why = FileWriteText(path, written);
    return written.ok();
}

bool LoadDocument(const QString &path, QTextDocument &doc, const QFont &plainFont, QString *why)
{
    QFile file;
    if (!OpenRegularFile(file, path)) {
        const int error = errno;
        if (why) // a pipe or a device is refused without waiting on it
            *why = QFileInfo::exists(path) && !QFileInfo(path).isFile() ? QStringLiteral("这不是一个普通文件。")
                                                                        : qt_error_string(error);
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (LooksLikeRtf(bytes)) {
        QTextDocument scratch;
        const RtfError e = ReadRtf(bytes, scratch);
        if (e != RtfError::None) {
            if (why)
                *why = RtfErrorText(e);
            return false;
        }
        ReadRtf(bytes, doc); // read again into the target: the same bytes read the same way
        return true;
    }
    doc.clear();
    QTextCursor(&doc).insertText(DecodeUtf8OrGbk(bytes), plainFormat(plainFont));
    return true;
}

void Save(QTextEdit *pane)
{
    QString filter;
    const QString chosen = FileDialogs::SaveFile(FileKind::Report, QStringLiteral("另存为"), kSaveFilter, &filter);
    if (chosen.isEmpty())
        return;
    const SaveKind kind = SaveKindOf(chosen, filter);
    const QString path = SavePath(chosen, kind);
    // The chooser confirmed replacing the name it returned, not the one with the extension appended.
    if (path != chosen && QFileInfo::exists(path) &&
        !Prompts::instance().askYesNo(QStringLiteral("另存为"),
                                      QStringLiteral("%1 已经存在。\n要替换它吗？").arg(QFileInfo(path).fileName()),
                                      Prompts::Answer::No, Prompts::Icon::Warning))
        return;
    QString why;
    if (!SaveDocument(*pane->document(), path, kind, &why)) {
        Prompts::instance().error(QStringLiteral("另存为"), why);
        return;
    }
    inform(QStringLiteral("已保存！"));
}

void Print(QTextEdit *pane)
{
    if (!PictureOutput::AskToPrint())
        return;
    QPrinter printer(QPrinter::HighResolution);
    if (!Prompts::instance().choosePrinter(QStringLiteral("打印"), printer))
        return;
    printer.setDocName(QString());
    pane->document()->print(&printer);
    if (printer.printerState() == QPrinter::Error)
        Prompts::instance().error(QStringLiteral("打印错误"), QStringLiteral("打印错误，请检查打印设备！"));
}

void Import(QTextEdit *pane)
{
    const QString path = FileDialogs::OpenFile(FileKind::Report, QStringLiteral("导入阳宅断语"), kImportFilter);
    if (path.isEmpty())
        return;
    QFont plain = pane->font();
    plain.setPointSizeF(pane->document()->defaultFont().pointSizeF());
    if (!LoadDocument(path, *pane->document(), plain)) {
        Prompts::instance().error(QStringLiteral("重试一次"), QStringLiteral("导入文件出错,请重试一次"));
        return;
    }
    pane->setCurrentCharFormat(plainFormat(plain));
}

void SetSelectionFont(QTextEdit *pane)
{
    QTextCursor cursor = pane->textCursor();
    if (!cursor.hasSelection())
        return;
    const QFont initial = cursor.charFormat().font();
    const std::optional<QFont> font = Prompts::instance().chooseFont(QStringLiteral("设置选中文本"), initial);
    if (!font)
        return;
    QTextCharFormat f;
    f.setFontFamilies({font->family()});
    f.setFontPointSize(font->pointSizeF());
    f.setFontWeight(font->weight());
    f.setFontItalic(font->italic());
    f.setFontUnderline(font->underline());
    f.setFontStrikeOut(font->strikeOut());
    cursor.mergeCharFormat(f);
}

QMenu *InstallPopup(QTextEdit *pane, const QString &name, bool withImport)
{
    auto *menu = new QMenu(pane);
    menu->setObjectName(name);
    QAction *undo = menu->addAction(QStringLiteral("撤销"), pane, &QTextEdit::undo);
    menu->addSeparator();
    QAction *copy = menu->addAction(QStringLiteral("复制"), pane, &QTextEdit::copy);
    QAction *paste = menu->addAction(QStringLiteral("粘帖"), pane, &QTextEdit::paste);
    QAction *cut = menu->addAction(QStringLiteral("剪切"), pane, &QTextEdit::cut);
    QAction *remove = menu->addAction(QStringLiteral("删除"), pane, [pane] { pane->textCursor().removeSelectedText(); });
    menu->addAction(QStringLiteral("全选"), pane, &QTextEdit::selectAll);
    menu->addSeparator();
    QAction *font = menu->addAction(QStringLiteral("设置选中文本"), pane, [pane] { SetSelectionFont(pane); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("另存为"), pane, [pane] { Save(pane); });
    menu->addAction(QStringLiteral("打印"), pane, [pane] { Print(pane); });
    if (withImport)
        menu->addAction(QStringLiteral("导入阳宅断语"), pane, [pane] { Import(pane); });
    // Commands that need a selection, an undo step or something to paste are offered only then.
    QObject::connect(menu, &QMenu::aboutToShow, pane, [=] {
        const bool selected = pane->textCursor().hasSelection();
        const bool editable = !pane->isReadOnly();
        undo->setEnabled(editable && pane->document()->isUndoAvailable());
        copy->setEnabled(selected);
        cut->setEnabled(selected && editable);
        remove->setEnabled(selected && editable);
        paste->setEnabled(editable && pane->canPaste());
        font->setEnabled(selected && editable);
    });
    pane->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(pane, &QWidget::customContextMenuRequested, menu,
                     [pane, menu](const QPoint &pos) { menu->popup(pane->viewport()->mapToGlobal(pos)); });
    return menu;
}

} // namespace TextPanes
