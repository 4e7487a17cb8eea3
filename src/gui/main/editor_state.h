// The editing state the main window, the editor, the store commands and the
// evaluator share: one instance for the whole run.
#pragma once

#include "core/matrix/matrix.h"
#include "core/store/matrix_store.h"

namespace velmora {

struct EditorState {
    Matrix working;           // the matrix shown in the editor
    Description current;      // where `working` came from
    bool committed = false;   // set once `working` has been shown by showMatrix
};

}  // namespace velmora
