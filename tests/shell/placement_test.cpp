// The main window's placement: restored from the section "Settings" in twips
// when it opens (with the screen checks), saved when it closes; its least size
// and the width of the Comment column.
#include <QAction>
#include <QScreen>

#include "main_window_driver.h"

namespace quillet::test {
namespace {

class Placement : public MainWindowTest {
protected:
    frmMain& open_with(const QByteArray& settings_section) {
        configure(0, 0, "[Settings]\n" + settings_section);
        return open_window();
    }
    static QRect screen_area() { return QGuiApplication::primaryScreen()->geometry(); }
    // Twips to pixels on the test screen.
    static int px(double twips) {
        return qRound(twips * QGuiApplication::primaryScreen()->logicalDotsPerInchX() / 1440);
    }
    static QPoint centred(QSize size) {
        const QRect area = screen_area();
        return {area.x() + qRound((area.width() - size.width()) / 2.0),
                area.y() + qRound((area.height() - size.height()) / 2.0)};
    }
};

TEST_F(Placement, OpeningChecksTheStoredPlacementAgainstTheScreen) {
    // The screen the checks run against must be big enough for the cases.
    ASSERT_GE(screen_area().width(), px(12000));
    ASSERT_GE(screen_area().height(), px(7000));
    // Top, Left, Height and Width in twips; the geometry expected, where a zero
    // width or height is the designed one and a null position means centred.
    struct Case {
        const char* name;
        int top, left, height, width;
        QPoint pos;
        QSize size;
        const char* state = "0";
        Qt::WindowStates expected_state = Qt::WindowNoState;
    };
    const QPoint stored_pos(px(600), px(1500));
    const QSize stored(px(11000), px(6000));
    const int huge = 9999999;
    const int low_top = screen_area().height() * 1440 / px(1440) - 300;
    const QPoint right_edge_in(screen_area().width() - px(11000), px(1500));
    const QPoint bottom_edge_in(px(600), screen_area().height() - px(6000));
    const Case cases[] = {
        {"stored", 1500, 600, 6000, 11000, stored_pos, stored},
        {"wider than the screen", 1500, 600, 6000, huge, stored_pos, {}},
        {"taller than the screen", 1500, 600, huge, 11000, stored_pos, {}},
        {"left beyond the screen", 1500, huge, 6000, 11000, {}, stored},
        {"top beyond the screen", huge, 600, 6000, 11000, {}, stored},
        {"negative left", 1500, -15, 6000, 11000, {}, stored},
        {"negative top", -1500, 600, 6000, 11000, {}, stored},
        // Saved at a smaller scale: the corner is on the screen, the rest is not.
        {"right edge off", 1500, 6000, 6000, 11000, right_edge_in, stored},
        {"bottom edge off", low_top, 600, 6000, 11000, bottom_edge_in, stored},
        {"smaller than designed", 1500, 600, 15, 15, stored_pos, {}},
        // Only 2 of the stored window states opens maximized.
        {"state 1", 1500, 600, 6000, 11000, stored_pos, stored, "1"},
        {"state 2", 1500, 600, 6000, 11000, stored_pos, stored, "2", Qt::WindowMaximized},
        {"state 3", 1500, 600, 6000, 11000, stored_pos, stored, "3"},
        {"state -1", 1500, 600, 6000, 11000, stored_pos, stored, "-1"},
    };
    for (const Case& c : cases) {
        open_with(QString::asprintf("Top=%d\nLeft=%d\nHeight=%d\nWidth=%d\nWindowState=%s\n", c.top,
                                    c.left, c.height, c.width, c.state)
                      .toUtf8());
        const QSize designed = window->minimumSize();
        const QSize size(c.size.width() <= 0 ? designed.width() : c.size.width(),
                         c.size.height() <= 0 ? designed.height() : c.size.height());
        // (Under a maximized window, the normal placement is the stored one.)
        EXPECT_EQ(window->normalGeometry().size(), size) << c.name;
        if (c.expected_state == Qt::WindowNoState) {
            // Centred in twips: a pixel either way from centring in pixels.
            const QPoint pos = c.pos.isNull() ? centred(size) : c.pos;
            EXPECT_LE((window->pos() - pos).manhattanLength(), c.pos.isNull() ? 2 : 0) << c.name;
        }
        EXPECT_EQ(window->windowState(), c.expected_state) << c.name;
    }
    // Key names in any case; values that are no numbers keep the designed ones.
    open_with("");
    const QPoint designed_pos = window->pos();
    const QSize designed = window->size();
    EXPECT_EQ(designed, window->minimumSize());
    EXPECT_LE((designed_pos - centred(designed)).manhattanLength(), 2);
    open_with("TOP=1500\nleft=600\nheight=6000\nwidth=11000\n");
    EXPECT_EQ(QRect(window->pos(), window->size()), QRect(px(600), px(1500), px(11000), px(6000)));
    open_with("Top=abc\nLeft=\nHeight=6000\nWidth=1e400\nWindowState=x\n");
    EXPECT_EQ(window->pos(), designed_pos);
    EXPECT_EQ(window->size(), QSize(designed.width(), px(6000)));
    EXPECT_EQ(window->windowState(), Qt::WindowNoState);
}

TEST_F(Placement, ClosingSavesThePlacementAndTheSettings) {
    open_window();
    window->resize(px(11000), px(6600));
    window->move(px(600), px(450));
    process_events();
    window->close();

    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    EXPECT_EQ(sandbox.stored("Settings/Top"), QString::number(qRound(px(450) * 1440.0 / dpi)));
    EXPECT_EQ(sandbox.stored("Settings/width"), QString::number(qRound(px(11000) * 1440.0 / dpi)));
    EXPECT_EQ(sandbox.stored("Settings/WindowState"), "0");
    EXPECT_EQ(sandbox.stored("Options/Orvella"), orvella);

    // The next start opens where this one closed.
    window.reset();
    sys.reset();
    open_window();
    EXPECT_EQ(window->pos(), QPoint(px(600), px(450)));
    EXPECT_EQ(window->size(), QSize(px(11000), px(6600)));

    // Closed maximized it opens maximized; closed minimized, normal.
    for (const auto& [show, saved_state, reopened] :
         {std::tuple{&QWidget::showMaximized, "2", Qt::WindowMaximized},
          std::tuple{&QWidget::showMinimized, "1", Qt::WindowNoState}}) {
        (window.get()->*show)();
        process_events();
        window->close();
        EXPECT_EQ(sandbox.stored("Settings/WindowState"), saved_state);

        window.reset();
        sys.reset();
        open_window();
        EXPECT_EQ(window->windowState(), reopened) << saved_state;
    }
}

// At the designed size, in the list view with the preview and without, and in
// the conversion view, every column lies within the grid and shows its texts
// whole; only the source name and the date may be cut short. The Comment
// column takes the free width of a wider window.
TEST_F(Placement, AtTheDesignedSizeEveryColumnsTextIsReadable) {
    write_file(orvella + "~drntrpa01.tmp", orvella_report("4711"));
    write_file(orvella + "~drntrpa02.tmp", "not a report\r\n");
    write_file(fennick + "jones.fnr", fennick_report());
    open_window();
    trigger("mnuRep_Orvella");
    trigger("mnuRep_Fennick");
    trigger("mnuRep_Show");
    for (const bool preview : {false, true}) {
        find<QAction>("mnuView_Preview")->setChecked(preview);
        // (The conversion view's seven columns do not fit in half the designed
        // width: beside the preview, it scrolls.)
        for (const bool conversion : preview ? std::vector{false} : std::vector{false, true}) {
            SCOPED_TRACE(std::string(preview ? "preview, " : "") +
                         (conversion ? "conversion view" : "list view"));
            if (conversion) {  // as a batch writes it
                trigger("mnuRep_Orvella");
                gblnShowConversionColumns = true;
                window->pr_Set_Up_Grid();
                for (int n = 1; n <= sys->Rep_FileCount(); ++n) {
                    window->pr_Fill_Grid_Row(n);
                }
            }
            process_events();
            int right = 0;
            for (int c = 0; c < model().columnCount(); ++c) {
                right += grid().columnWidth(c);
                const QString header = model().headerData(c, Qt::Horizontal).toString();
                if (header == "Source filename" || header == "Date") {
                    continue;
                }
                for (int r = 0; r < model().rowCount(); ++r) {
                    const QString cell = model().index(r, c).data().toString();
                    EXPECT_TRUE(shows_whole(grid(), c, cell))
                        << header.toStdString() << ": " << cell.toStdString();
                }
            }
            EXPECT_LE(right, grid().viewport()->width());
            trigger("mnuRep_Show");
        }
    }
    // The longest outcome, of a cancelled batch's reports.
    find<QAction>("mnuView_Preview")->setChecked(false);
    trigger("mnuRep_Orvella");
    for (int n = 1; n <= sys->Rep_FileCount(); ++n) {
        sys->entry(n) = ReportEntry{};
        sys->entry(n).Rep_Comment = QStringLiteral("Not converted: the batch was cancelled.");
    }
    trigger("mnuView_Student");
    EXPECT_TRUE(shows_whole(grid(), 4, model().index(0, 4).data().toString()));

    // The columns fill the grid; a wider window gives the Comment column the
    // free width.
    for (int width : {px(20000), px(11000)}) {
        window->resize(width, window->height());
        process_events();
        int columns = 0;
        for (int c = 0; c < model().columnCount(); ++c) {
            columns += grid().columnWidth(c);
        }
        EXPECT_EQ(columns, grid().viewport()->width()) << width;
        EXPECT_GE(grid().columnWidth(4), px(3000)) << width;
    }
}

}  // namespace
}  // namespace quillet::test
