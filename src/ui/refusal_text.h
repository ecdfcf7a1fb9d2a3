#pragma once

// How the program tells a refusal of the system's: the restart run for a request, the to-do list
// for a cancel. Pure: no platform here.

#include "runtime/text.h"

// The "原因" text of a request the system refused with this error code (code page 936, from the
// program's texts).
Text RequestRefusalReason(unsigned long error);
