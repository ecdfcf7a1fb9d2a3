#!/usr/bin/env bash
# `make dist`: puts the shipped programs and a short README for Windows users in build/dist: the
# i686 rebootdel.exe and the x86_64 rebootdel-x64.exe, both static with the same resources, and
# the i686 rebootdel-menu.exe beside them, the right-click verb's helper, which serves both (it
# only passes the items on, as text).
set -euo pipefail
cd "$(dirname "$0")/.."

dist=build/dist

for file in win32/rebootdel.exe win32/rebootdel-menu.exe win64/rebootdel.exe; do
    [ -f "build/$file" ] || {
        echo "dist: build/$file is missing; run make ${file%%/*} first" >&2
        exit 1
    }
done

mkdir -p "$dist"
cp build/win32/rebootdel.exe "$dist/rebootdel.exe"
cp build/win64/rebootdel.exe "$dist/rebootdel-x64.exe"
cp build/win32/rebootdel-menu.exe "$dist/rebootdel-menu.exe"

# Windows users open this with Notepad: CR LF line ends.
sed 's/$/\r/' >"$dist/README.txt" <<'TEXT'
rebootdel 1.0.0.0
=================

rebootdel deletes files the next time the computer restarts. Use it for files that cannot be
deleted now because a running program keeps them open.

Use rebootdel.exe on 32-bit Windows and rebootdel-x64.exe on 64-bit Windows, where a 32-bit
program sees a redirected system folder instead of the real C:\Windows\System32. Keep
rebootdel-menu.exe in the same folder: Explorer's right-click entry (see 8) starts it.

The program asks for administrator rights when it starts, because only an administrator can
record deletions that Windows carries out at the next restart.

How to use it
-------------

The window's labels are in Chinese. The five buttons on the right are, from top to bottom:
Add, Remove, Batch add, Clear list and Restart delete.

1. Start rebootdel.exe (or rebootdel-x64.exe) and allow it to make changes.
2. Collect the files in the list, in any of three ways:
   - press Add and choose one or more files;
   - drag files from Explorer and drop them onto the window;
   - press Batch add, type or paste full paths, one per line (paths in double quotes, as
     Explorer's "Copy as path" gives them, are fine; so are spaces or tabs around a path and
     the \??\C:\... form registry tools show), press its right-hand button (OK) and confirm.
     Its left-hand button pastes the clipboard's text.
   You can also drop files and folders onto rebootdel.exe's icon or a shortcut to it, send
   them with Explorer's "Send to" menu (see 7), or right-click them in Explorer (see 8): the
   window lists them, and a name of no file is said in a message. While the window is open, a
   second start hands its files to it and ends; each start asks for administrator rights.
   Folders, files that do not exist and files already in the list are left out. Add takes
   any number of files at once; a name typed there of a file that does not exist is answered
   by the dialog itself.
3. To take a file out of the list, click it and press Remove. Clear list empties the list
   after asking.
4. Press Restart delete and confirm. Each row then shows whether Windows accepted the file,
   and for a refused file the third column says why. A file the restart could not delete
   exactly is refused without asking Windows: one that no longer exists, a folder, a file on a
   network drive, a share, a SUBST drive, a removable or USB disk, a CD or DVD, a drive
   without a letter, a link, a cloud placeholder, a file that another program's pending
   rename moves or replaces, and a system file the restart's account may not delete. A name Windows
   would normally change (one ending in a dot or a space, or named like a device, such as
   "nul") is deleted exactly as it is named.
   If at least one file was accepted, Windows offers to restart now; the files are deleted
   during the next restart, whenever it happens. The buttons stay disabled until you close
   the window.
5. To see what the next restart will do, open the window's system menu (click the icon at the
   left of the title bar) and choose the item below the line. The list shows every pending deletion and
   rename, also those of other programs. Each row is one operation. To take a deletion back,
   choose it and press the upper button (Cancel deletion), then confirm: exactly the chosen
   rows go; renames and everything else stay as they are. If nothing could be taken back (no
   administrator rights, another program changed the list meanwhile, a list in a form the
   program does not rewrite), a message says why and nothing is changed. When you close that
   window, the main list says "taken back" for a file only when no deletion of it is left,
   however its name is spelled.
6. After a restart, the second item below the line shows what that restart could not do, from
   the record Windows keeps of it (C:\Windows\PFRO.log): the line above the list says how many
   operations failed and how many were carried out, and each failed deletion or rename is
   listed with its time and why (file in use, folder not empty, access denied, ...). A file
   the last restart failed to delete says so in the main list's third column when it is listed.
   Windows does not try a failed operation again: schedule it again. A start after "Shut down"
   with Fast Startup on is no restart, and nothing pending has run then.
7. The next item of the same menu adds rebootdel to Explorer's "Send to" menu (a shortcut
   in your Send To folder); once added, the same item removes it again. If
   you gave the administrator prompt another account's password, the shortcut goes to that
   account's Send To folder.
8. The last item adds an entry to Explorer's right-click menu of every file and folder (its
   label, in Chinese, means "delete at restart", beside the program's icon), for your account
   only; once added, the same item removes it again. Choose any number of files and folders,
   right-click them and choose the entry: the window lists them all, and the administrator
   prompt comes once, however many you chose. On Windows 11 the entry is under "Show more
   options"; Explorer offers it for up to 100 items, so for more use "Send to". If you move
   the program, choose the item again: it then points the entry at the program's new place.
   If you gave the administrator prompt another account's password, the entry is that
   account's.

On Windows 10 version 1903 and later every file name is listed as it is. Older Windows list a
name that the system's language cannot write (an emoji, say) by its short 8.3 form, which names
the same file, or leave it out where the drive keeps no short names.

The files stay where they are until the restart. The program changes nothing else on the
computer, apart from the Send To shortcut and the right-click entry when you add them, and
keeps no settings.
TEXT

# All three as shipped: the resources, and imports from system DLLs only.
bash scripts/test.d/resources.sh "$dist/rebootdel.exe" "$dist/rebootdel-x64.exe" \
    "$dist/rebootdel-menu.exe"
echo "dist: $dist/rebootdel.exe, $dist/rebootdel-x64.exe, $dist/rebootdel-menu.exe and" \
    "$dist/README.txt"
