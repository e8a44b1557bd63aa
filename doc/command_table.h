// The commands of the program as plain data: id, whose command it is, how the
// selection fares, and the rule that enables it. One function decides
// enabling from a snapshot of the state; the frame evaluates it when a menu
// opens and when the active document or its state changes.
#pragma once

#include <vector>

namespace quillon {

enum class Rule {
    A,                // picture, no tool window, depth 1..24
    B,                // picture, no tool window; selection: depth >= 15; else depth min..24
    C,                // picture, no tool window
    D,                // C and the clipboard offers a picture
    E,                // C and a selection
    F,                // no tool window
    G,                // capture library loaded, no tool window
    H,                // undo available, no tool window
    I,                // picture, no tool window, no selection, depth 24
    Never,
    Always,
    PickTransparent,  // 107: depth <= 8, picture, tracker idle
    SendToCamera,     // 101: C, camera capability, album window closed
    Browser,          // 150: BrowserPath not empty
    HtmlEditor,       // 151: HTMLEditorPath not empty
    Ftp,              // 152: FTPPath not empty
    ZoomIn,           // 163: C and zoom <= 500
    ZoomOut,          // 164: C and zoom >= 20
    FileList,         // 100: fewer than 10 file list windows
    PasteNew,         // 103: clipboard picture, no tool window in the active view
    Camera,           // 112, 114-117: camera capability, album window closed
    CameraAlbum,      // 113: camera capability, album window not open
    Calibration,      // 118: calibration capability
};

enum class Owner { Document, Application, Frame };
enum class SelectionFate { None, Kept, Cleared };

struct CommandInfo {
    int id;
    Owner owner;
    Rule rule;
    int minDepth;  // for rule B
    SelectionFate selection;
};

// What the rules look at; the frame fills it from the active view.
struct CommandState {
    bool hasDocument = false;  // an active document exists
    bool hasPicture = false;
    bool toolWindow = false;   // the view's tilt correction dialog is open
    int depth = 0;
    bool hasSelection = false;
    bool trackerIdle = true;
    bool clipboardHasPicture = false;
    bool libraryLoaded = false;
    bool cameraCapable = false;
    bool calibrationCapable = false;
    bool cameraAlbumOpen = false;
    bool undoAvailable = false;
    int zoom = 100;
    int fileListCount = 0;
    bool browserPathSet = false;
    bool htmlEditorPathSet = false;
    bool ftpPathSet = false;
};

const std::vector<CommandInfo>& commandTable();
const CommandInfo* findCommand(int id);
// Whether the rule lets the command run in that state. A document command
// also needs an active document.
bool commandEnabled(const CommandInfo& command, const CommandState& state);
bool ruleHolds(Rule rule, int minDepth, const CommandState& state);

}  // namespace quillon
