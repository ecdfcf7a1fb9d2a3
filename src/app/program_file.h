#pragma once

// The program's own file, which Explorer's entries point at.

#include "runtime/text.h"

// The full path of this program's file; empty when the system gives none.
WideText ThisProgram();
