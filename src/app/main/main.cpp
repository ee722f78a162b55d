// Orvmon: a bench tool for ARINC 429 lines on an Orvel interface board.
#include "app/ui/COrvmonApp.h"

int main(int argc, char** argv) {
    orv::ui::COrvmonApp app(argc, argv);
    return app.Run();
}
