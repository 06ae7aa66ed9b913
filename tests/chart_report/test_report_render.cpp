// The reading of the reference house rendered as a whole, to be read by eye, and the document's formatting.
#include "ReportTestUtil.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextFragment>
#include <QTextDocument>

namespace {

void Save(const QString &name, const QByteArray &data)
{
    QDir().mkpath(QStringLiteral(REPORT_OUT_DIR));
    QFile f(QStringLiteral(REPORT_OUT_DIR "/") + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

void SavePdf(QTextDocument &doc, const QString &name)
{
    QDir().mkpath(QStringLiteral(REPORT_OUT_DIR));
    QPdfWriter pdf(QStringLiteral(REPORT_OUT_DIR "/") + name);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    doc.print(&pdf);
}

// The pane as a reader sees it: the document laid out 640 pixels wide, cut into pictures of 1000 pixels.
void SavePng(QTextDocument &doc, const QString &name)
{
    QTextDocument copy;
    copy.setDefaultFont(doc.defaultFont());
    copy.setHtml(doc.toHtml());
    copy.setTextWidth(640);
    const int height = int(copy.size().height()) + 1;
    for (int top = 0, n = 0; top < height; top += 1000, ++n) {
        QImage img(660, 1000, QImage::Format_RGB32);
        img.fill(QColor(0xD0, 0xCC, 0xC0));
        QPainter p(&img);
        p.translate(10, -top);
        copy.drawContents(&p, QRectF(0, top, 640, 1000));
        p.end();
        img.save(QStringLiteral(REPORT_OUT_DIR "/%1_%2.png").arg(name).arg(n));
    }
}

TEST(ReportRender, ReferenceHouseToHtmlAndPdf)
{
    TempProgramFolder folder;
    QTextDocument pane;
    QFont f(QStringLiteral("宋体"));
    f.setPointSize(11);
    pane.setDefaultFont(f);
    MQuorin q(&pane);
    ASSERT_TRUE(q.PaiPan(ReferenceHouse())) << q.sMessage.toStdString();
    // The grid is set in a fixed-pitch font so that its columns line up; the text around it keeps the pane's.
    for (QTextBlock b = pane.begin(); b.isValid(); b = b.next()) {
        const bool grid = b.text().startsWith(QStringLiteral("┌")) || b.text().startsWith(QStringLiteral("│")) ||
                          b.text().startsWith(QStringLiteral("├")) || b.text().startsWith(QStringLiteral("└"));
        EXPECT_EQ(b.charFormat().fontFixedPitch(), grid) << b.text().toStdString();
    }
    Save(QStringLiteral("xuankong.html"), pane.toHtml().toUtf8());
    Save(QStringLiteral("xuankong.txt"), q.sReport.toUtf8());
    SavePdf(pane, QStringLiteral("xuankong.pdf"));
    SavePng(pane, QStringLiteral("xuankong"));
    ASSERT_TRUE(q.ShowBaZhaiPan());
    Save(QStringLiteral("bazhai.html"), pane.toHtml().toUtf8());
    Save(QStringLiteral("bazhai.txt"), q.sReport.toUtf8());
    SavePdf(pane, QStringLiteral("bazhai.pdf"));
    SavePng(pane, QStringLiteral("bazhai"));

    TRecordData ti = ReferenceHouse();
    ti.xiaGua = 0;
    ti.degree = 5.5f;
    ti.mountain = 4 * 1 + 2;
    ASSERT_TRUE(q.PaiPan(ti)) << q.sMessage.toStdString();
    Save(QStringLiteral("tigua.txt"), q.sReport.toUtf8());
}

} // namespace
