// What the help command decides: which manual to open, and the DDE command that hands its
// address to a running browser.
#pragma once

#include <string>

// The manual in `programFolder`: "manuel.htm" for a French user language (primary language
// 0x0C, the low byte of the id), "manual.htm" for any other.
std::string ManualFileFor(const std::string& programFolder, unsigned short languageId);

// A browser's DDE command template filled the way the system formats messages, with `address`
// as insert 1: "%1" (or "%1!s!") becomes the address, "%%" a percent sign, "%n" a line break,
// "%0" ends the text, "%" before any other character keeps that character. Inserts other than
// 1 have nothing to show and become empty.
std::string FillDdeCommand(const std::string& commandTemplate, const std::string& address);
