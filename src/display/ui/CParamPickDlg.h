#pragma once
// The pick of dictionary parameters for the list of displayed parameters.

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QComboBox;

namespace orv {
struct ProgramState;
namespace ui {
class ListBox;
}
}  // namespace orv

namespace orv {

// "Выбор входных параметров для отображения": one channel and any number of dictionary parameters,
// as many as the list (holding `listLines` lines) can still take.
class CParamPickDlg : public QDialog {
    Q_OBJECT
public:
    CParamPickDlg(const ProgramState& state, int listLines, QWidget* parent = nullptr);

    struct Pick {
        uint16_t channel = 0;
        std::vector<std::string> lines;  // parameter lines, in list order
    };
    const std::optional<Pick>& Result() const { return result_; }

private:
    void OnApply();

    int listLines_;
    QComboBox* channel_;
    ui::ListBox* params_;
    std::optional<Pick> result_;
};

}  // namespace orv
