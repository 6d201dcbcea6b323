#pragma once

#include <cstdio>
#include <string>
#include <string_view>

bool isTerminal(std::FILE* stream);

// text as a terminal may be given it: every byte that would act on the terminal instead of
// showing (C0 controls, DEL, C1 controls as UTF-8, and bytes that are not valid UTF-8) is
// written as \xHH, or as \t, \n or \r, and a backslash as \\, so a file's name can neither
// move the cursor, set a title or colours, nor break a line apart, and what is shown tells
// the exact bytes. Valid UTF-8 text is kept as it is.
std::string terminalSafeText(std::string_view text);
