#pragma once

// The two lead-byte tests the rules are checked under, without a running system to ask.

// Code page 936 (GBK): 0x81 to 0xFE start a double-byte character.
inline bool Lead936(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xFE;
}

// Code page 1252: single-byte only.
inline bool Lead1252(unsigned char) {
    return false;
}
