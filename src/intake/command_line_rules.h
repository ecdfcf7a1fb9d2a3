#pragma once

// The paths a start of the program is handed on its command line, as the shell writes it for a
// drop on the program's icon or "Send to": each path one argument, in double quotes where it
// holds a space. Pure: no platform here.

#include "runtime/text.h"

// The command line with every run of backslashes before a double quote doubled. The system's
// splitting (CommandLineToArgvW) takes "\"" as an escaped quote, so a quoted folder path that
// ends in a backslash ("C:\a b\") would swallow the arguments after it; no path holds a quote,
// so in a path a backslash is only ever a backslash, and doubled it stays one.
WideText WithLiteralBackslashes(const WideText& commandLine);

// The full path an argument names, made against the folder the start was made in: a path with
// a drive and root, or a share ("\\server\share\..."), as given; a rooted one on the current
// folder's drive; "D:name" in the current folder when that is on D:, else in D:'s root; any
// other in the current folder. "/" stands for "\", "." and empty parts go, ".." takes the part
// before it (never the root), and a final "\" goes; every other name stays as written, a final
// dot or space included. A "\\?\" or "\??\" path is taken in its ordinary form; a device path
// ("\\.\...") and a form without an ordinary one as given. Empty for an empty argument.
WideText FullArgumentPath(const WideText& argument, const WideText& currentFolder);
