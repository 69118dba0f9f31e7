// The preview beside the grid: the selected document decoded from
// Windows-1252, page breaks drawn as rules, links within the document moving
// the view and other links going to the browser.
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QScrollBar>
#include <QTextBlock>

#include "document_commands.h"
#include "document_html.h"
#include "main_window_driver.h"
#include "preview_pane.h"

namespace quillet::test {
namespace {

QByteArray test_document(const char* name) {
    QFile file(QStringLiteral(QUILLET_TESTDATA_DIR "/convert/") + QLatin1String(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

TEST(PreviewHtml, PageBreaksBecomeOneRuleEachAndALongDocumentIsReadUpToTheLimit) {
    const QString html = QString::fromLatin1("<BODY>\r\n<P>One</P>\r\n" + kPageBreak +
                                             "<P>Two</P>\r\n<HR>\r\n" + kPageBreak + "</BODY>\r\n");
    EXPECT_EQ(page_breaks_as_rules(html),
              "<BODY>\r\n<P>One</P>\r\n<HR>\r\n<P>Two</P>\r\n<HR>\r\n<HR>\r\n</BODY>\r\n");

    QTemporaryDir dir;
    const QString path = dir.filePath("long.htm");
    write_file(path, QByteArray("caf\xe9 \x93quoted\x94 ") + QByteArray(100, 'x'));
    const DocumentHtml whole = read_document_html(path, 1000);
    EXPECT_EQ(whole.html, QStringLiteral("café “quoted” ") + QString(100, 'x'));
    EXPECT_FALSE(whole.cut);
    const DocumentHtml start = read_document_html(path, 4);
    EXPECT_EQ(start.html, "caf\u00e9");
    EXPECT_TRUE(start.cut);
    EXPECT_FALSE(read_document_html(dir.filePath("missing.htm"), 10).error.isEmpty());
}

// Long documents are cut into pieces between whole blocks: each piece holds
// whole tables and preformatted blocks, and a long table is closed and opened
// again between rows.
TEST(PreviewHtml, PiecesAreCutOnlyBetweenWholeBlocks) {
    const QString table = QStringLiteral("<TABLE CELLSPACING=1 CELLPADDING=0>\r\n");
    QString blocks = QStringLiteral("<HTML><BODY>\r\n");
    QString long_table = QStringLiteral("<P>Before</P>\r\n") + table;
    for (int i = 0; i < 100; ++i) {
        blocks += QStringLiteral(
                      "<P>Paragraph %1</P>\r\n<TABLE><TR><TD><P>cell</P></TD></TR></TABLE>\r\n"
                      "<PRE>\r\n<P>not a paragraph\r\n<TR>\r\n</PRE>\r\n")
                      .arg(i);
        long_table +=
            QStringLiteral("<TR><TD WIDTH=150><P>%1</P></TD><TD><P>x</P></TD></TR>\r\n").arg(i);
    }
    long_table += QStringLiteral("</TABLE>\r\n<P>After</P>\r\n");
    for (const auto& [html, starts] :
         {std::pair{blocks, QStringList{"<P>Paragraph", "<TABLE><TR>"}},
          std::pair{long_table, QStringList{table + "<TR>"}}}) {
        const std::vector<QString> pieces = document_pieces(html, 500);
        ASSERT_GT(pieces.size(), 5u);
        QString joined;
        for (const QString& piece : pieces) {
            EXPECT_EQ(piece.count(u"<TABLE"), piece.count(u"</TABLE>")) << piece.toStdString();
            EXPECT_EQ(piece.count(u"<PRE>"), piece.count(u"</PRE>")) << piece.toStdString();
            EXPECT_TRUE(&piece == &pieces.front() || piece.startsWith(starts[0]) ||
                        piece.startsWith(starts.back()))
                << piece.toStdString();
            joined += piece;
        }
        EXPECT_EQ(joined.replace("</TABLE>\r\n" + table + "<TR>", "<TR>"), html);
        EXPECT_EQ(document_pieces(html, html.size()).size(), 1u);
    }
}

class Preview : public MainWindowTest {
protected:
    PreviewPane& pane() { return window->document_commands().preview(); }
    // Clicks the first link whose text is text.
    void click_link(const QString& text) {
        const QTextCursor found =
            pane().document()->find(text, 0, QTextDocument::FindCaseSensitively);
        ASSERT_FALSE(found.isNull()) << text.toStdString();
        QTextCursor inside = found;
        inside.setPosition(found.selectionStart() + 1);
        click(pane().viewport(), pane().cursorRect(inside).center());
        process_events();
    }
    // Where the block holding text lies, from the top of the visible part.
    int offset_of(const QString& text) {
        const QTextBlock block =
            pane().document()->find(text, 0, QTextDocument::FindCaseSensitively).block();
        return static_cast<int>(
                   pane().document()->documentLayout()->blockBoundingRect(block).top()) -
               pane().verticalScrollBar()->value();
    }
};

TEST_F(Preview, OffUntilChosenThenShowsTheSelectedDocumentOrWhyThereIsNoneAndFollowsLinks) {
    QByteArray document = test_document("analysis_worked_example.htm");
    document.replace("</BODY>", "<P><A HREF=\"notes/extra.htm\">More notes</A></P>\r\n</BODY>");
    write_file(html + "12345678/Analysis.htm", document);
    write_file(html + "87654321/Dyslexia.htm", test_document("dyslexia_document.htm"));
    open_window();
    EXPECT_FALSE(pane().isVisibleTo(window.get()));
    EXPECT_FALSE(action("mnuView_Preview")->isChecked());

    trigger("mnuView_Preview");
    ASSERT_TRUE(pane().isVisible());
    EXPECT_EQ(pane().document_path(), html + "12345678/Analysis.htm");
    EXPECT_TRUE(pane().toPlainText().contains("Orvella Analysis Report for student 12345678"));

    // A contents line moves the view to its heading, which links back to the
    // top; other links go to the browser.
    process_events();
    ASSERT_EQ(pane().verticalScrollBar()->value(), 0);
    const int view_height = pane().viewport()->height();
    ASSERT_GT(offset_of("ANALYSIS OF COGNITIVE TESTS"), view_height);
    click_link("Analysis of Cognitive Tests");
    const int heading = offset_of("ANALYSIS OF COGNITIVE TESTS");
    EXPECT_GE(heading, 0);
    EXPECT_LT(heading, view_height - 10);
    click_link("ANALYSIS OF COGNITIVE TESTS");
    const int contents = offset_of("Table of Contents");
    EXPECT_GE(contents, 0);
    EXPECT_LT(contents, view_height / 2);
    EXPECT_TRUE(browser.urls.empty());
    pane().verticalScrollBar()->setValue(pane().verticalScrollBar()->maximum());
    click_link("More notes");
    EXPECT_EQ(browser.opened(), std::vector<QString>{html + "12345678/notes/extra.htm"});

    select_row(2);
    EXPECT_EQ(pane().document_path(), html + "87654321/Dyslexia.htm");
    // Each page break is one rule, as are the rules of the document itself.
    int rules = 0;
    for (QTextBlock b = pane().document()->begin(); b.isValid(); b = b.next()) {
        rules += b.blockFormat().hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth);
    }
    EXPECT_EQ(rules, test_document("dyslexia_document.htm").count("<HR>"));

    // Written again since: listed again, the preview shows it as it is now.
    select_row(1);
    write_file(html + "12345678/Analysis.htm",
               document.replace("</BODY>", "<P>Added later.</P>\r\n</BODY>"));
    QFile(html + "12345678/Analysis.htm")
        .setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    trigger("mnuRep_Show");
    EXPECT_EQ(pane().document_path(), html + "12345678/Analysis.htm");
    EXPECT_TRUE(pane().toPlainText().contains("Added later."));

    trigger("mnuView_Preview");
    EXPECT_FALSE(pane().isVisibleTo(window.get()));

    // A report that was not converted: the preview says why, in words.
    write_file(orvella + "~drntrpa01.tmp", "not a report\r\n");
    trigger("mnuView_Preview");
    trigger("mnuRep_Orvella");
    ASSERT_EQ(current_row(), 1);
    EXPECT_EQ(pane().toPlainText(),
              "The report ~drntrpa01 was not converted, so it has no HTML document to show.\n"
              "Why: Invalid Orvella report.");
}

TEST_F(Preview, ALongDocumentShowsItsStartAtOnceAndTheRestSoonAfter) {
    QByteArray document = "<HTML><BODY>\r\n";
    for (int i = 0; i < 3000; ++i) {
        document += "<P><Font FACE = \"Arial\" SIZE=2>Paragraph " + QByteArray::number(i) +
                    " of the report.</P>\r\n";
    }
    document += "<P>The end.</P>\r\n</BODY></HTML>\r\n";
    write_file(html + "1/Analysis.htm", document);
    open_window();
    trigger("mnuView_Preview");
    EXPECT_TRUE(pane().toPlainText().startsWith("Paragraph 0 of the report."));
    EXPECT_TRUE(pane().loading());

    EXPECT_TRUE(wait_until([&] { return !pane().loading(); }));
    EXPECT_TRUE(
        pane().toPlainText().simplified().endsWith("Paragraph 2999 of the report. The end."));
}

}  // namespace
}  // namespace quillet::test
