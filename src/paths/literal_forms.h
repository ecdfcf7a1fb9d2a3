#pragma once

// The forms one path takes on its way to the system (OrdinaryPath, LiteralPath, RecordedPath),
// each made from another; what a full path begins with; and whether a drive letter is a device of
// its own. Pure: no platform here.

#include <optional>
#include <string_view>

#include "runtime/path_texts.h"
#include "runtime/text.h"

// What a full path begins with: a drive and its root ("C:\"), a share ("\\" and a server name),
// or neither: a relative or drive-relative path ("a", "\a", "C:a"), a device path ("\\.\") or a
// verbatim one ("\\?\"), which name no drive and no share as they stand.
enum class PathRoot { kNone, kDrive, kShare };
PathRoot RootOf(std::u16string_view path);
PathRoot RootOf(std::string_view path);

// The literal form of an ordinary full path: "C:\dir\name" gives "\\?\C:\dir\name" and
// "\\server\share\name" gives "\\?\UNC\server\share\name". Empty for anything else: a relative
// path, a device path ("\\.\..."), a path already in a verbatim form.
LiteralPath LiteralFormOf(const OrdinaryPath& path);
// The ordinary form of a literal path, the inverse of LiteralFormOf: "\\?\C:\dir" gives
// "C:\dir", "\\?\UNC\server\share" gives "\\server\share" (the "UNC" in any case). Nothing for
// any other form: a volume by its GUID, a share without a server, a text without the prefix.
std::optional<OrdinaryPath> OrdinaryFormOf(const LiteralPath& literal);
// The same two rules for ANSI texts of the system's code page.
Text LiteralFormOf(const Text& path);
std::optional<Text> OrdinaryFormOf(const Text& literal);

// The recorded form of a literal path ("\\?\C:\a" gives "\??\C:\a"), and back; empty for a text
// without the prefix.
RecordedPath RecordedFormOf(const LiteralPath& literal);
LiteralPath LiteralFormOf(const RecordedPath& recorded);

// The folder an ordinary path lies in: its text before its last "\" ("C:\dir" for "C:\dir\a",
// "C:" for "C:\dir"); empty for a path without one.
OrdinaryPath ParentOf(const OrdinaryPath& path);
// A drive's root, with or without its "\": "C:\", "C:".
bool IsDriveRoot(const OrdinaryPath& path);
// A literal path's folder, and its name in that folder: "\\?\C:\dir" and "foo." for
// "\\?\C:\dir\foo."; a drive's root keeps its "\". A view into literal.
std::u16string_view NameInFolder(const LiteralPath& literal, LiteralPath& folder);
// A name put after a folder's literal path, with one "\" between them.
LiteralPath InFolder(LiteralPath folder, std::u16string_view name);

// True for a typed path that already is the ordinary full path it means, and so is taken
// literally: a drive letter, ":" and "\", or "\\" and a server, with backslashes only and no
// empty, "." or ".." part. Any other line is made full the usual way first. A "\" that is the
// second byte of a double-byte character separates nothing.
bool IsPlainFullPath(const Text& path, LeadBytePredicate isLeadByte = SystemLeadByte);

// True when the DOS device behind a drive letter is a device of its own, not a folder that a
// SUBST drive stands for ("\??\C:\folder"): such drives belong to the user's session, and the
// boot has no such letter.
bool IsOwnDevice(const WideText& dosDevice);
