#pragma once
// The table pane. It draws the displayed parameters or the capture block, and its right-click menus
// edit a row, change its format and set, reset or trace its mask.

#include <QAbstractScrollArea>
#include <bitset>
#include <functional>
#include <memory>

#include "state/program_state.h"
#include "monitor/shown_table.h"
#include "monitor/table_rows.h"
#include "monitor/ui/table_painter.h"
#include "resources/ui/command_ids.h"

class QMenu;
class QPainter;
class QAction;

namespace orv::ui {

class RowCache;

class COrvmonView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit COrvmonView(ProgramState& state, QWidget* parent = nullptr);
    ~COrvmonView() override;

    // One refresh tick: polls the board for what is displayed and repaints the visible rows whose
    // text or ink changed (everything when what the pane shows changed kind or length).
    void RefreshTick();

    // The ink of each character of a parameter row: ParameterRowInks unless set (tests set others).
    void SetInkSource(InkSource inks) { inks_ = std::move(inks); }
    const InkSource& Inks() const { return inks_; }
    // Paints through DrawTable instead of the cell cache (the reference picture the cache matches).
    void SetDirectDrawing(bool direct) { direct_ = direct; }

    // Draws the part `documentRect` of the table (document coordinates: row r at y = 16r) onto a
    // painter whose coordinates are the document's, at any scale, directly (no cache): white, then
    // the rows and separators. The print command prints through it. False, with only white drawn,
    // while the table is being rewritten.
    bool DrawTable(QPainter& painter, const QRect& documentRect) const;

    // What the last refresh tick drew (or the last edit of the table redrew), for the table export;
    // before the first refresh, the rows as the pane draws them now.
    ShownTable Shown() const;

    // The row under the last right click.
    int SelectedRow() const { return m_nSelectedRow; }
    // Document height the scroll bar covers (100 until something has been drawn, then 4096).
    int DocumentHeight() const { return documentHeight_; }

    // Shows a popup at a global point and returns the action chosen (nullptr for none). Tests
    // replace it; the program runs the menu.
    using PopupRunner = std::function<QAction*(QMenu& menu, const QPoint& globalPos)>;
    void SetPopupRunner(PopupRunner runner) { popupRunner_ = std::move(runner); }

    // Runs the command of a popup item by its id.
    void RunCommand(CommandId id);

    // Redraws after a command changed the table: what it draws now counts as the last refresh.
    void Changed();

public slots:
    void OnChangeFormat();
    void OnClearFormat();
    void OnAddParam();
    void OnEditParam();
    void OnResetMask();
    void OnTrace();
    void OnSetMask();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    bool CacheUsable();
    void PaintFromCache(QPainter& painter, TableContent content, const QRegion& documentRegion);
    void ShowPopup(Popup popup, const QPoint& viewportPos);
    void SetDocumentHeight(int height);
    void TakeShown(uint32_t nowMs);
    const ShownTable* ShownRows() const { return shownTaken_ ? &shown_ : nullptr; }

    ProgramState& state_;
    int m_nSelectedRow = 0;
    int documentHeight_ = kInitialDocumentHeight;
    PopupRunner popupRunner_;
    InkSource inks_;
    bool direct_ = false;
    std::unique_ptr<RowCache> cache_;  // made on the first cached paint
    // What the last paint showed: a tick repaints everything when the kind or length changed.
    TableContent paintedContent_ = TableContent::White;
    int paintedRows_ = -1;
    // Rows the last tick brought up to date; the paint it asked for does not build them again.
    std::bitset<kDisplayRows> tickFresh_;
    std::vector<RowTextMemo> textMemo_;  // the last text of each frozen row
    // The values the last refresh (or edit) drew, taken at shownMs_ on the tick clock: rows painted
    // until the next refresh show exactly these, so the screen and the table export agree.
    ShownTable shown_;
    uint32_t shownMs_ = 0;
    bool shownTaken_ = false;
};

}  // namespace orv::ui
