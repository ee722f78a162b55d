#include "monitor/ui/COrvmonView.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "board/acquisition.h"
#include "board/ui/board_commands.h"
#include "capture/ui/reception_commands.h"
#include "config/ui/config_commands.h"
#include "display/table_ops.h"
#include "display/ui/display_commands.h"
#include "monitor/mask.h"
#include "monitor/row_ink.h"
#include "monitor/ui/monitor_dialogs.h"
#include "resources/monitor_strings.h"
#include "resources/shell_strings.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/modal.h"
#include "transmit/ui/transmit_commands.h"

namespace orv::ui {
namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

struct PopupItem {
    int id;
    const char* text;
};

// The items of each popup menu, in order.
std::vector<PopupItem> PopupItems(Popup popup) {
    switch (popup) {
        case Popup::Edit: return {{32782, text::kPopupEditParam}};
        case Popup::Format: return {{32779, text::kPopupChangeFormat}, {32780, text::kPopupClearFormat}};
        case Popup::SetMask: return {{32787, text::kPopupSetMask}};
        case Popup::MaskOps: return {{32783, text::kPopupResetMask}, {32784, text::kPopupTrace}};
        case Popup::Add: return {{32781, text::kPopupAddParam}};
        default: return {};
    }
}

// Draws a row's characters run by run, each run of one ink in its colour.
void DrawInkedRow(QPainter& painter, int y, const std::string& text, const RowInks& inks) {
    std::size_t begin = 0;
    while (begin < text.size()) {
        const Ink ink = begin < inks.size() ? inks[begin] : Ink::Black;
        std::size_t end = begin + 1;
        while (end < text.size() && (end < inks.size() ? inks[end] : Ink::Black) == ink) ++end;
        painter.setPen(QColor::fromRgb(QRgb(kInkRgb[std::size_t(ink)])));
        DrawGridText(painter, kColumnPixels * int(begin), y, std::string_view(text).substr(begin, end - begin));
        begin = end;
    }
    painter.setPen(Qt::black);
}

QAction* RunPopupMenu(QMenu& menu, const QPoint& globalPos) {
    // Centred on the pointer, horizontally and vertically.
    const QSize size = menu.sizeHint();
    return menu.exec(globalPos - QPoint(size.width() / 2, size.height() / 2));
}

}  // namespace

COrvmonView::COrvmonView(ProgramState& state, QWidget* parent)
    : QAbstractScrollArea(parent), state_(state), popupRunner_(RunPopupMenu) {
    viewport()->setAutoFillBackground(true);
    QPalette p = viewport()->palette();
    p.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(p);
    setFont(GridFont(true));
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(kRowPixels);
    horizontalScrollBar()->setSingleStep(kRowPixels);
    SetDocumentHeight(kInitialDocumentHeight);
}

void COrvmonView::RefreshTick() { orv::RefreshTick(state_); }

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

void COrvmonView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const int scrollX = horizontalScrollBar()->value();
    const int scrollY = verticalScrollBar()->value();
    painter.translate(-scrollX, -scrollY);
    // The table is being rewritten: scroll sizes kept.
    if (!DrawTable(painter, event->rect().translated(scrollX, scrollY))) return;
    if (documentHeight_ != kDocumentHeight) SetDocumentHeight(kDocumentHeight);
}

bool COrvmonView::DrawTable(QPainter& painter, const QRect& area) const {
    painter.fillRect(area, Qt::white);
    const TableContent content = ContentOf(state_.Acquisition.AcquisitionMode, state_.Display.DisplayListReady);
    if (content == TableContent::NotReady) return false;
    if (content != TableContent::White) {
        painter.setFont(GridFont(true));
        painter.setPen(Qt::black);
        const int rows = DrawnRows(content, state_.Display.DisplayTable);
        // Only the rows that reach into the area to repaint are built.
        const int first = std::max(0, area.top() / kRowPixels);
        const int last = std::min(rows - 1, area.bottom() / kRowPixels);
        const BoardImage& image = state_.Board.BoardImage;
        const uint32_t nowMs = content == TableContent::Parameters ? state_.Board.TickCount() : 0;
        for (int r = first; r <= last; ++r) {
            if (content == TableContent::Parameters)
                DrawInkedRow(painter, kRowPixels * r, ParameterRowText(state_.Display, state_.Acquisition, image, r),
                             ParameterRowInks(state_.Display, state_.Acquisition, r, nowMs));
            else
                DrawGridText(painter, kStreamRowX, kRowPixels * r,
                             StreamRowText(r, StreamWord(image, state_.Capture.StreamAddress, r)));
        }
        const int bottom = SeparatorBottom(content, state_.Display.DisplayTable);
        if (content == TableContent::Parameters) {
            for (int x : kParameterSeparators) painter.drawLine(x, 0, x, bottom);
        } else {
            for (int x : kStreamSeparators) painter.drawLine(x, 0, x, bottom);
        }
    }
    return true;
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
    for (const PopupItem& item : items) menu.addAction(U(item.text))->setObjectName(QString::number(item.id));
    QAction* chosen = popupRunner_ ? popupRunner_(menu, viewport()->mapToGlobal(viewportPos)) : nullptr;
    if (chosen && menu.actions().contains(chosen)) RunCommand(chosen->objectName().toInt());
}

void COrvmonView::RunCommand(int id) {
    switch (id) {
        case 32779: OnChangeFormat(); break;
        case 32780: OnClearFormat(); break;
        case 32781: OnAddParam(); break;
        case 32782: OnEditParam(); break;
        case 32783: OnResetMask(); break;
        case 32784: OnTrace(); break;
        case 32787: OnSetMask(); break;
        default: break;
    }
}

void COrvmonView::Changed() { viewport()->update(); }

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
    if (state_.Display.DisplayTable[std::size_t(row)].maskMode != 1) return;
    if (ShowMessage(this, U(text::kMaskResetQuestion), Buttons::OkCancel) != Answer::Ok) return;
    ResetMask(state_.Display, state_.Acquisition, state_.Board.Link, row);
    Changed();
}

void COrvmonView::OnTrace() {
    const int row = m_nSelectedRow;
    if (row < 0 || row >= UsedEntries(state_.Display.DisplayTable)) return;
    if (state_.Display.DisplayTable[std::size_t(row)].maskMode != 1) return;
    CParamTraceDlg dialog(state_, uint16_t(row), this);
    RunModal(dialog);
}

// ---- Menu commands ----

void COrvmonView::OnSelectDevice() { SelectDeviceCommand(this, state_); }

void COrvmonView::OnReceiveParams() {
    if (state_.Shell.DeviceState < 0) ShowMessage(this, QString::fromUtf8(text::kNoBoardList));
    if (RunDisplayList(this, state_)) Changed();
}

void COrvmonView::OnReceiveFile() {
    if (state_.Shell.DeviceState == -1) {
        ShowMessage(this, QString::fromUtf8(text::kNoBoard));
        return;
    }
    RunFileReception(this, state_);
    Changed();
}

void COrvmonView::OnTransmit() {
    if (state_.Shell.DeviceState < 0) ShowMessage(this, QString::fromUtf8(text::kNoBoardFrame));
    RunTransmit(this, state_);
}

void COrvmonView::OnFormats() { RunFormatTable(this); }

void COrvmonView::OnParams() { RunParamDict(this); }

void COrvmonView::OnRefreshPeriod() {
    CRefreshPeriodDlg dialog(state_, this);
    RunModal(dialog);
}

void COrvmonView::OnChannelRates() { ChannelRatesCommand(this, state_); }

}  // namespace orv::ui
