#include "monitor/ui/COrvmonView.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "session/acquisition.h"
#include "display/table_ops.h"
#include "display/ui/display_commands.h"
#include "monitor/mask.h"
#include "monitor/ui/monitor_dialogs.h"
#include "monitor/ui/row_painter.h"
#include "resources/monitor_strings.h"
#include "resources/ui/command_ids.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/modal.h"
#include "resources/ui/text_codec.h"

namespace orv::ui {
namespace {

struct PopupItem {
    CommandId id;
    const char* text;
};

// The items of each popup menu, in order.
std::vector<PopupItem> PopupItems(Popup popup) {
    switch (popup) {
        case Popup::Edit: return {{CommandId::EditParam, text::kPopupEditParam}};
        case Popup::Format:
            return {{CommandId::ChangeFormat, text::kPopupChangeFormat},
                    {CommandId::ClearFormat, text::kPopupClearFormat}};
        case Popup::SetMask: return {{CommandId::SetMask, text::kPopupSetMask}};
        case Popup::MaskOps:
            return {{CommandId::ResetMask, text::kPopupResetMask}, {CommandId::Trace, text::kPopupTrace}};
        case Popup::Add: return {{CommandId::AddParam, text::kPopupAddParam}};
        default: return {};
    }
}

QAction* RunPopupMenu(QMenu& menu, const QPoint& globalPos) {
    // Centred on the pointer, horizontally and vertically.
    const QSize size = menu.sizeHint();
    return menu.exec(globalPos - QPoint(size.width() / 2, size.height() / 2));
}

// The separators drawn over the rows of the content.
std::span<const int> SeparatorsOf(TableContent content) {
    if (content == TableContent::Parameters) return kParameterSeparators;
    return kStreamSeparators;
}

}  // namespace

COrvmonView::COrvmonView(ProgramState& state, QWidget* parent)
    : QAbstractScrollArea(parent), state_(state), popupRunner_(RunPopupMenu) {
    // Every paint covers what it exposes (rows copied opaque, white around them): no fill first.
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(p);
    setFont(GridFont(true));
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(kRowPixels);
    horizontalScrollBar()->setSingleStep(kRowPixels);
    SetDocumentHeight(kInitialDocumentHeight);
}

COrvmonView::~COrvmonView() = default;

void COrvmonView::RefreshTick() {
    orv::RefreshTick(state_);
    const uint32_t now = state_.Board.TickCount();
    TakeShown(now);
    const TableContent content = ContentOf(state_.Acquisition.AcquisitionMode, state_.Display.DisplayListReady);
    const bool rows = content == TableContent::Parameters || content == TableContent::Stream;
    if (!rows || content != paintedContent_ || DrawnRows(content, state_.Display.DisplayTable) != paintedRows_ ||
        !CacheUsable()) {
        viewport()->update();
        return;
    }
    // Only the visible rows are brought up to date; the others are when they are exposed.
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const RowSpan span = RowsIn(state_, content, viewport()->rect().translated(scroll));
    QRegion changed;
    for (int r = span.first; r <= span.last; ++r) {
        changed += cache_->Update(r, RowOfPane(state_, content, r, inks_, now, ShownRows(), textMemo_), SeparatorsOf(content));
        tickFresh_.set(std::size_t(r));
    }
    // One update for the tick, of the changed cells alone: the paint copies and the window system
    // receives only those pixels (a rectangle per run of changed cells; runs of the same columns in
    // neighbouring rows join).
    if (!changed.isEmpty()) viewport()->update(changed.translated(-scroll));
}

// ---- Drawing ----

void COrvmonView::SetDocumentHeight(int height) {
    documentHeight_ = height;
    const QSize page = viewport()->size();
    verticalScrollBar()->setPageStep(page.height());
    verticalScrollBar()->setRange(0, std::max(0, height - page.height()));
    horizontalScrollBar()->setPageStep(page.width());
    horizontalScrollBar()->setRange(0, std::max(0, kDocumentWidth - page.width()));
}

void COrvmonView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    SetDocumentHeight(documentHeight_);
}

void COrvmonView::scrollContentsBy(int dx, int dy) {
    // The picture is a function of document coordinates: move it, paint only the strip exposed.
    viewport()->scroll(dx, dy);
}

bool COrvmonView::CacheUsable() {
    if (direct_) return false;
    if (!cache_) cache_ = std::make_unique<RowCache>(GridFont(true));
    return cache_->Usable();
}

void COrvmonView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    painter.translate(-scroll);
    const TableContent content = ContentOf(state_.Acquisition.AcquisitionMode, state_.Display.DisplayListReady);
    paintedContent_ = content;
    paintedRows_ = DrawnRows(content, state_.Display.DisplayTable);
    const bool rows = content == TableContent::Parameters || content == TableContent::Stream;
    if (rows && painter.device()->devicePixelRatioF() == 1.0 && CacheUsable())
        PaintFromCache(painter, content, event->region().translated(scroll));
    else if (!DrawTable(painter, event->rect().translated(scroll)))
        return;  // the table is being rewritten: scroll sizes kept
    tickFresh_.reset();
    if (documentHeight_ != kDocumentHeight) SetDocumentHeight(kDocumentHeight);
}

bool COrvmonView::DrawTable(QPainter& painter, const QRect& documentRect) const {
    painter.fillRect(documentRect, Qt::white);
    const TableContent content = ContentOf(state_.Acquisition.AcquisitionMode, state_.Display.DisplayListReady);
    if (content == TableContent::NotReady) return false;
    const uint32_t now = content == TableContent::White ? 0 : shownTaken_ ? shownMs_ : state_.Board.TickCount();
    DrawTableArea(painter, state_, documentRect, inks_, now, ShownRows());
    return true;
}

void COrvmonView::PaintFromCache(QPainter& painter, TableContent content, const QRegion& region) {
    // The rows reaching into the region come from the cache, opaque; white is filled only around
    // them. Rows the tick that asked for this paint has just brought up to date are not built again.
    const uint32_t now = shownTaken_ ? shownMs_ : state_.Board.TickCount();
    const RowSpan span = RowsIn(state_, content, region.boundingRect());
    for (int r = span.first; r <= span.last; ++r)
        if (!tickFresh_.test(std::size_t(r)))
            cache_->Update(r, RowOfPane(state_, content, r, inks_, now, ShownRows(), textMemo_), SeparatorsOf(content));
    const QRect rowsBand = span.first <= span.last ? QRect(0, kRowPixels * span.first, RowCache::kWidth,
                                                           kRowPixels * (span.last - span.first + 1))
                                                   : QRect();
    const int bottom = SeparatorBottom(content, state_.Display.DisplayTable);
    // Rectangle by rectangle: a tick's paint is a few columns of a few rows. The cached rows carry
    // their separators; only white parts around them get theirs drawn.
    for (const QRect& r : region) {
        const QRect onRows = r & rowsBand;
        painter.setClipRect(r);  // one rectangle: the image is copied line by line, not span by span
        if (!onRows.isEmpty()) painter.drawImage(onRows.topLeft(), cache_->Image(), onRows);
        if (onRows != r)
            for (const QRect& white : QRegion(r).subtracted(QRegion(onRows))) {
                painter.fillRect(white, Qt::white);
                DrawSeparators(painter, content, bottom, white);
            }
    }
}

// ---- Right click ----

void COrvmonView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    const QPoint doc = pos + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const PopupChoice choice = ChoosePopup(state_.Display, doc.x(), doc.y());
    if (choice.popup != Popup::PassOn) {
        m_nSelectedRow = choice.row;
        ShowPopup(choice.popup, pos);
    }
    QAbstractScrollArea::mousePressEvent(event);
}

void COrvmonView::ShowPopup(Popup popup, const QPoint& viewportPos) {
    const std::vector<PopupItem> items = PopupItems(popup);
    if (items.empty()) return;
    QMenu menu(window());
    for (const PopupItem& item : items) menu.addAction(U(item.text))->setObjectName(QString::number(int(item.id)));
    QAction* chosen = popupRunner_ ? popupRunner_(menu, viewport()->mapToGlobal(viewportPos)) : nullptr;
    if (chosen && menu.actions().contains(chosen)) RunCommand(CommandId(chosen->objectName().toInt()));
}

void COrvmonView::RunCommand(CommandId id) {
    switch (id) {
        case CommandId::ChangeFormat: OnChangeFormat(); break;
        case CommandId::ClearFormat: OnClearFormat(); break;
        case CommandId::AddParam: OnAddParam(); break;
        case CommandId::EditParam: OnEditParam(); break;
        case CommandId::ResetMask: OnResetMask(); break;
        case CommandId::Trace: OnTrace(); break;
        case CommandId::SetMask: OnSetMask(); break;
        default: break;
    }
}

void COrvmonView::TakeShown(uint32_t nowMs) {
    TakeShownTable(state_.Display, state_.Acquisition, state_.Board.BoardImage, nowMs, shown_);
    shownMs_ = nowMs;
    shownTaken_ = true;
}

ShownTable COrvmonView::Shown() const {
    // Before the first refresh (and edit) the pane draws the rows as they stand when it paints.
    if (shownTaken_) return shown_;
    return TakeShownTable(state_.Display, state_.Acquisition, state_.Board.BoardImage, state_.Board.TickCount());
}

void COrvmonView::Changed() {
    TakeShown(state_.Board.TickCount());
    tickFresh_.reset();
    viewport()->update();
}

// ---- Row commands ----

void COrvmonView::OnEditParam() {
    if (EditDisplayEntry(this, state_, m_nSelectedRow, false)) Changed();
}

void COrvmonView::OnAddParam() {
    // The new entry goes right after the last one, whichever row was clicked.
    const int row = FirstFreeRow(state_.Display.DisplayTable);
    if (row >= 0) m_nSelectedRow = row;
    if (EditDisplayEntry(this, state_, m_nSelectedRow, true)) Changed();
}

void COrvmonView::OnChangeFormat() {
    if (ChangeEntryFormat(this, state_, m_nSelectedRow)) Changed();
}

void COrvmonView::OnClearFormat() {
    if (m_nSelectedRow < 0 || m_nSelectedRow >= UsedEntries(state_.Display.DisplayTable)) return;
    ClearEntryFormat(state_.Display, m_nSelectedRow);
    Changed();
}

void COrvmonView::OnSetMask() {
    switch (CheckSetMask(state_.Display, state_.Acquisition, m_nSelectedRow)) {
        case MaskCheck::NoSlot: return;
        case MaskCheck::AlreadySet: ShowMessage(this, U(text::kMaskAlreadySet)); return;
        case MaskCheck::Allowed: break;
    }
    const DisplayEntry& entry = state_.Display.DisplayTable[std::size_t(m_nSelectedRow)];
    const auto channelIndex = uint16_t(entry.channel - 1);
    CInputMaskDlg dialog(channelIndex, this);
    if (RunModal(dialog) != QDialog::Accepted) return;
    StoreMaskPattern(state_.Acquisition, channelIndex, dialog.Pattern());
    SetMask(state_.Display, state_.Acquisition, state_.Board.Link, m_nSelectedRow);
    Changed();
}

void COrvmonView::OnResetMask() {
    const int row = m_nSelectedRow;
    if (row < 0 || row >= UsedEntries(state_.Display.DisplayTable)) return;
    if (state_.Display.DisplayTable[std::size_t(row)].maskMode != kMaskOn) return;
    if (ShowMessage(this, U(text::kMaskResetQuestion), Buttons::OkCancel) != Answer::Ok) return;
    ResetMask(state_.Display, state_.Acquisition, state_.Board.Link, row);
    Changed();
}

void COrvmonView::OnTrace() {
    const int row = m_nSelectedRow;
    if (row < 0 || row >= UsedEntries(state_.Display.DisplayTable)) return;
    if (state_.Display.DisplayTable[std::size_t(row)].maskMode != kMaskOn) return;
    CParamTraceDlg dialog(state_, uint16_t(row), this);
    RunModal(dialog);
}

}  // namespace orv::ui
