// What the archiver prints: normal text gathered into large blocks for standard output (a
// listing can be megabytes and goes through a pipe), errors and warnings one line each on
// standard error, and the questions it asks on its console.
#pragma once

#include <string>

namespace jar {

class Console {
public:
    // Appends a line; the text goes out in blocks of about a megabyte.
    static void Line(const std::string& text);
    static void Text(const std::string& text);
    // Writes what is gathered; a progress line on the console goes first.
    static void Flush();
    // The one progress line of a console run, written over the last one in place; lines printed
    // later clear it first.
    static void Status(const std::string& line);
    static void Error(const std::string& text);
    static void Warning(const std::string& text);
    // A WARNING about one file not stored or not extracted as asked: the run then ends with a
    // failure code although it went on with the rest.
    static void FileWarning(const std::string& text);
    static int ErrorCount();
    static int WarningCount();
    // Asks a yes/no question; 'a' (all) answers yes to this and every later one. No answer (end
    // of input) counts as no.
    static bool AskYesNo(const std::string& question, bool& yesToAll);
    // Lines typed until an empty line or the end of input.
    static std::string ReadText(const std::string& prompt);
};

// Columns a UTF-8 text takes on the console: one per character.
size_t TextColumns(const std::string& text);

} // namespace jar
