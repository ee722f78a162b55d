#pragma once
// The title pane above the table: names the board module and heads the table's columns. Its
// picture is kept in an image; a refresh redraws and repaints only the texts that changed.

#include <QImage>
#include <QWidget>
#include <memory>
#include <vector>

#include "state/program_state.h"
#include "monitor/title_text.h"

namespace orv::ui {

class CellGrid;

class CTitleView : public QWidget {
    Q_OBJECT
public:
    explicit CTitleView(ProgramState& state, QWidget* parent = nullptr);
    ~CTitleView() override;

    // Repaints what changed since the last paint (called on every refresh tick).
    void Refresh();

    // What the pane shows for the program's current values.
    static TitleDrawing DrawingOf(const ProgramState& state);

    // Draws `drawing` onto any painter: white over `area`, then the texts and lines reaching into
    // it (the pane's reference picture).
    static void DrawTitlePane(QPainter& painter, const TitleDrawing& drawing, const QRect& area);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TitleDrawing Current() const;
    // Brings the image to `drawing`; returns the region whose pixels were redrawn.
    QRegion Bring(const TitleDrawing& drawing);
    // The texts as rows of grid cells (text at x = 7c, y = 16r); false when a text lies off the
    // grid or two texts share a cell: the changed parts are then drawn directly.
    bool CellsOf(const TitleDrawing& drawing, std::vector<std::vector<uint64_t>>& rows) const;

    ProgramState& state_;
    QImage image_;
    TitleDrawing shown_;  // what the image shows
    std::unique_ptr<CellGrid> grid_;  // the texts as cells, while they lie on the grid
    std::vector<std::vector<uint64_t>> cells_;  // the cells of the last drawing, row by row
};

}  // namespace orv::ui
