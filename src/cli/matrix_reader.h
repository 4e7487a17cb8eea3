// velmora-calc reads and prints matrices as the windows' clipboard does: its
// "[1 2; 3 -1/2]" (ReadMatrixText) and its rows (MatrixText) are in
// matrix/matrix_text.h, one place for each format.
#pragma once

#include "matrix/matrix_text.h"
