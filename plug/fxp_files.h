#pragma once
// Program (FXP) and bank (FXB) files of a plug-in: big-endian headers with
// four-character magics, then either the plug-in's state chunk or normalised
// parameter values. Program names occupy a 28-byte field: at most 27
// characters are written, and a name filling all 28 bytes is read as such.

class PlugBase;
class SkyString;

// Writes the current program. False for an empty path or a file that cannot be
// written; then nothing is left behind.
bool SaveProgramAsFXP(PlugBase* pPlug, const SkyString& path);
// Writes every preset slot and the current index, with the same failure rules.
bool SaveBankAsFXB(PlugBase* pPlug, const SkyString& path);
// Loads a program into the current slot. A refused file (wrong magic, kind,
// format version, plug-in, parameter count, or too short) leaves the plug-in unchanged.
bool LoadProgramFromFXP(PlugBase* pPlug, const SkyString& path);
// Loads a bank. A refused chunk bank leaves the plug-in unchanged; in a
// program-list bank the records before a bad one stay applied.
bool LoadBankFromFXB(PlugBase* pPlug, const SkyString& path);
