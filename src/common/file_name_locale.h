#pragma once

// Firebird reads database paths in the process's character set (LC_CTYPE), both the embedded engine
// and the client on its way to a server; the program's file names are UTF-8, as the file system's on
// Linux. Takes the environment's locale, and C.UTF-8 for the character set when that one is not
// UTF-8 (a session started with LANG=C, say), so a Japanese folder works in any session. Called first
// thing by each executable that opens databases.
void UseUtf8FileNames();
