#pragma once

// The forms one path takes on its way to the system, each a type of its own, so that a path is
// never compared with another form of a path. The rows hold ordinary full paths; every file call
// gets the literal form, which the system takes exactly as it stands and in which it reports
// where a file is; the pending operations record the "\??\" form.

#include "runtime/text.h"

// An ordinary full path: "C:\dir\name", "\\server\share\name".
struct OrdinaryPath {
    WideText text;
    bool operator==(const OrdinaryPath&) const = default;
    bool empty() const { return text.empty(); }
};

// The literal form: "\\?\C:\dir\name", "\\?\UNC\server\share\name". The system drops no final
// dot or space of it, takes no name in it for a device and resolves no "." or "..".
struct LiteralPath {
    WideText text;
    bool operator==(const LiteralPath&) const = default;
    bool empty() const { return text.empty(); }
};

// The form the pending operations record a path in: "\??\C:\dir\name".
struct RecordedPath {
    WideText text;
    bool operator==(const RecordedPath&) const = default;
    bool empty() const { return text.empty(); }
};
