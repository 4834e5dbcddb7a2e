#ifndef UPDATER_SHELL_AUTOSTART_WIN_H
#define UPDATER_SHELL_AUTOSTART_WIN_H

// The machine-wide Run value "Tessel for MID": start-up removes it on every start
// (the program never writes it). A missing key or value is no error.
void RemoveAutostart();

#endif
