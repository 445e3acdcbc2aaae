// Runs jar32.exe as a child process with its output in a pipe (Windows).
#pragma once

#include "engine/jar_runner.h"

class WinJarRunner : public JarRunner {
public:
    // What the default getters return; the document overrides the getters with its settings.
    std::string jarFolder;
    std::string programFolder;
    std::string workingFolder;
    // A captured run reads in pieces of this size and takes at most this many pieces' worth.
    size_t outputBlockSize = 512000;
    size_t outputMaxBlocks = 500;

    std::string JarFolder() const override { return jarFolder; }
    std::string ProgramFolder() const override { return programFolder; }
    std::string WorkingFolder() const override { return workingFolder; }
    std::string ListFolder() const override;

    // Through PromptUser, the program's one message box.
    void ShowMessage(const std::string& text, bool failure) override;

    bool RunConsole(const std::string& arguments, ConsoleShow show) override;
    bool RunJarCaptured(const std::string& arguments, std::vector<std::string>& lines) override;
    bool RunJarCapturedInto(const std::string& arguments, OutputLineSink& sink) override;
    std::unique_ptr<BackgroundRun> StartInBackground(const std::string& arguments) override;
};
