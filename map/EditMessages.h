#pragma once

#include <string>

namespace platform {
class Language;
}

// The messages of the editing operations. The operations return which one applies; the map
// screen shows it in a message box with an OK button, owned by the map window.
enum class EditMessage {
    None,
    RowInsertLimit,       // rows stopped at the canvas limit; those inserted so far stay
    ColumnInsertLimit,    // columns stopped at the canvas limit; shown once per operation
    ColumnDeleteRefused,  // the map would lose its last column
    RowDeleteRefused,     // the map would lose its last row
    CanvasWidthRange,
    CanvasHeightRange,
    Replaced,  // how many cells a replace matched
};

class EditMessages {
public:
    // The message box text in language's words; count is the number of cells for Replaced.
    static std::string text(EditMessage message, const platform::Language& language, int count = 0);
    // The title, whole, for the window system to translate.
    static std::string title(EditMessage message);
};
