// The editing state the main window, the editor, the store commands and the
// evaluator share: one instance for the whole run.
#pragma once

#include "app/matrix_store.h"
#include "matrix/matrix.h"

namespace velmora {

struct EditorState {
    Matrix working;           // the matrix shown in the editor
    Description current;      // where `working` came from
    bool committed = false;   // set once `working` has been shown by showMatrix
};

}  // namespace velmora
