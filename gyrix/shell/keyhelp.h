// The help pages' tables of keys, made from the command tables as they are: the keys the player
// chose show in the help. The pages shipped hold the default keys between the same marks, and
// the game writes a copy of the pages with the keys in play when it opens them.
#pragma once

#include <gyrix/session/commands.h>

#include <string>

// What a command does, for the help page.
const char* CommandHelpText(ECommand command);
// The rows of a table (<tr>...</tr> lines) of every command of the table and its keys.
std::string KeyTableRows(const CCommandTable& table);
// The page with the rows between "<!-- keys:classic -->" and "<!-- keys:speedcube -->" marks
// (and their "<!-- end -->") replaced by the tables' rows; the page as it was where a mark is
// missing.
std::string WithKeyTables(const std::string& page, const CCommandTable& classic, const CCommandTable& speedcube);
// Copies the help pages from one folder to another with the key tables of the keys in play;
// false when the copy could not be written.
bool WriteHelpCopy(const std::string& from, const std::string& to, const CCommandTable& classic,
                   const CCommandTable& speedcube);
