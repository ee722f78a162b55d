#pragma once
// The title pane above the table: names the board module and heads the table's columns.

#include <QWidget>

#include "app/program_state.h"

namespace orv::ui {

class CTitleView : public QWidget {
    Q_OBJECT
public:
    explicit CTitleView(ProgramState& state, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ProgramState& state_;
};

}  // namespace orv::ui
