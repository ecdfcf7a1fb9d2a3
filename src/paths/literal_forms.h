#pragma once

// The forms a path takes on its way to the system, and whether a drive letter is a device of its
// own. The rows
// hold ordinary full paths ("C:\dir\name", "\\server\share\name"); every file call gets the
// literal form, which the system takes exactly as it stands. Pure: no platform here.

#include <optional>

#include "runtime/text.h"

// The literal form of an ordinary full path: "C:\dir\name" gives "\\?\C:\dir\name" and
// "\\server\share\name" gives "\\?\UNC\server\share\name". The system then drops no final dot or
// space, takes no name for a device and resolves no "." or "..". Empty for anything else: a
// relative path, a device path ("\\.\..."), a path already in a verbatim form.
Text LiteralPath(const Text& path);
WideText LiteralPath(const WideText& path);

// The ordinary form of a literal path, the inverse of LiteralPath: "\\?\C:\dir" gives "C:\dir",
// "\\?\UNC\server\share" gives "\\server\share" (the "UNC" in any case). Nothing for any other
// form: a volume by its GUID, a share without a server, a text without the prefix.
std::optional<Text> OrdinaryPath(const Text& literal);
std::optional<WideText> OrdinaryPath(const WideText& literal);

// True for a typed path that already is the ordinary full path it means, and so is taken
// literally: a drive letter, ":" and "\", or "\\" and a server, with backslashes only and no
// empty, "." or ".." part. Any other line is made full the usual way first. A "\" that is the
// second byte of a double-byte character separates nothing.
bool IsPlainFullPath(const Text& path, LeadBytePredicate isLeadByte = SystemLeadByte);

// True when the DOS device behind a drive letter is a device of its own, not a folder that a
// SUBST drive stands for ("\??\C:\folder"): such drives belong to the user's session, and the
// boot has no such letter.
bool IsOwnDevice(const WideText& dosDevice);
