#include "monitor/row_ink.h"

namespace orv {

bool RowIsStale(const DisplayState&, const AcquisitionState&, int, uint32_t) { return false; }

RowInks ParameterRowInks(const DisplayState&, const AcquisitionState&, int, uint32_t) {
    RowInks inks;
    inks.fill(Ink::Black);
    return inks;
}

}  // namespace orv
