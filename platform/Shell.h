// Stand-in for the shell's "open" verb: starts a program, or opens a document with the desktop's
// default application, and returns at once. Nothing waits for the started process and the outcome
// is not reported, so a missing program or document simply does nothing.
//
// Code calls platform::CurrentShell().Open(...); tests install a RecordingShell with SetShell to
// see which calls were made without starting anything.
#pragma once

#include <string>
#include <vector>

namespace platform {

class Shell {
public:
    virtual ~Shell() = default;
    // file: a program given by path or by bare name, or a document. parameters: a command line
    // whose blanks separate arguments and whose double-quoted parts are single arguments.
    virtual void Open(const std::string& file, const std::string& parameters) = 0;
};

// The real shell: a program given with a directory is started directly (nothing happens when it
// is missing); a bare program name is looked up on PATH and, when it does not exist on this
// system, the document named by the parameters is opened with xdg-open instead.
class SystemShell : public Shell {
public:
    void Open(const std::string& file, const std::string& parameters) override;
};

// Records every call and starts nothing.
class RecordingShell : public Shell {
public:
    struct Call {
        std::string File;
        std::string Parameters;
    };
    void Open(const std::string& file, const std::string& parameters) override;
    std::vector<Call> Calls;
};

// The shell in use: the one given to SetShell, else a process-wide SystemShell.
Shell& CurrentShell();
// Installs shell (not owned); nullptr goes back to the SystemShell.
void SetShell(Shell* shell);

// Splits a command line into arguments: blanks separate, double quotes group and are removed.
std::vector<std::string> SplitParameters(const std::string& parameters);

} // namespace platform
