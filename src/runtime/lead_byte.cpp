// The running system's double-byte lead-byte test, for SplitText.

#include "runtime/text.h"

#include "platform/win32.h"

bool SystemLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}
