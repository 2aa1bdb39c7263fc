#pragma once

#include <optional>
#include <string>

// A command that starts this program with arguments start-up answers with the usage box:
// written as the autostart value, it would show that box at every log-on instead of syncing.
struct SyncCommandRefusal {
    // The value of "/ip" where that is all there is and only start-up's address check refuses
    // it; nothing where the arguments have another form.
    std::optional<std::string> address;
};

// The text of the command box at a click of "开机自启", split once, with what each step of the
// click asks of it.
struct AutostartCommand {
    std::string text;
    std::string valueName;                      // ProgramNameOfCommand
    bool ownSync = false;                       // IsOwnSyncCommandLine: srv.xml keeps it
    // Nothing for a command start-up syncs from, a command of another program, or this
    // program without arguments (which opens its window).
    std::optional<SyncCommandRefusal> refusal;
};

AutostartCommand SplitAutostartCommand(const char* commandLine);
