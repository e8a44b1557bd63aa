#include "doc/command_table.h"

namespace quillon {
namespace {

using O = Owner;
using R = Rule;
using S = SelectionFate;

const std::vector<CommandInfo> kCommands = {
    // Document commands.
    {57603, O::Document, R::A, 0, S::Cleared},
    {57604, O::Document, R::A, 0, S::Cleared},
    {57607, O::Document, R::A, 0, S::Cleared},
    {101, O::Document, R::SendToCamera, 0, S::None},
    {57643, O::Document, R::H, 0, S::None},
    {57634, O::Document, R::A, 0, S::Kept},
    {57635, O::Document, R::A, 0, S::Kept},
    {57637, O::Document, R::D, 0, S::Cleared},
    {104, O::Document, R::D, 0, S::Cleared},
    {57632, O::Document, R::A, 0, S::Kept},
    {105, O::Document, R::C, 0, S::None},
    {106, O::Document, R::E, 0, S::Cleared},
    {107, O::Document, R::PickTransparent, 0, S::Cleared},
    {108, O::Document, R::Never, 0, S::None},
    {109, O::Document, R::F, 0, S::Cleared},
    {110, O::Document, R::G, 0, S::Cleared},
    {111, O::Document, R::G, 0, S::Cleared},
    {120, O::Document, R::A, 0, S::Cleared},
    {121, O::Document, R::A, 0, S::Cleared},
    {122, O::Document, R::A, 0, S::Cleared},
    {123, O::Document, R::A, 0, S::Cleared},
    {124, O::Document, R::A, 0, S::Cleared},
    {125, O::Document, R::A, 0, S::Cleared},
    {126, O::Document, R::A, 0, S::None},
    {127, O::Document, R::B, 1, S::Kept},
    {128, O::Document, R::B, 1, S::Kept},
    {129, O::Document, R::B, 1, S::Kept},
    {130, O::Document, R::B, 1, S::Kept},
    {131, O::Document, R::B, 1, S::Kept},
    {132, O::Document, R::B, 1, S::Kept},
    {133, O::Document, R::B, 1, S::Kept},
    {134, O::Document, R::B, 1, S::Kept},
    {135, O::Document, R::B, 1, S::Kept},
    {136, O::Document, R::B, 4, S::Kept},
    {137, O::Document, R::B, 1, S::Cleared},
    {138, O::Document, R::B, 1, S::Kept},
    {139, O::Document, R::B, 1, S::Kept},
    {140, O::Document, R::B, 1, S::Kept},
    {141, O::Document, R::B, 4, S::Kept},
    {142, O::Document, R::A, 0, S::Cleared},
    {143, O::Document, R::I, 0, S::None},
    {144, O::Document, R::B, 24, S::Kept},
    {145, O::Document, R::B, 24, S::Kept},
    {146, O::Document, R::B, 24, S::Kept},
    {147, O::Document, R::B, 24, S::Kept},
    {148, O::Document, R::B, 24, S::Kept},
    {149, O::Document, R::B, 24, S::Kept},
    {150, O::Document, R::Browser, 0, S::None},
    {151, O::Document, R::HtmlEditor, 0, S::None},
    {155, O::Document, R::A, 0, S::None},
    {156, O::Document, R::A, 0, S::None},
    {157, O::Document, R::A, 0, S::None},
    {158, O::Document, R::A, 0, S::None},
    {159, O::Document, R::A, 0, S::None},
    {160, O::Document, R::A, 0, S::None},
    {161, O::Document, R::A, 0, S::None},
    {162, O::Document, R::A, 0, S::None},
    {163, O::Document, R::ZoomIn, 0, S::None},
    {164, O::Document, R::ZoomOut, 0, S::None},
    {165, O::Document, R::C, 0, S::None},
    // Application commands.
    {57600, O::Application, R::Always, 0, S::None},
    {57601, O::Application, R::Always, 0, S::None},
    {57665, O::Application, R::Always, 0, S::None},
    {57664, O::Application, R::Always, 0, S::None},
    {100, O::Application, R::FileList, 0, S::None},
    {112, O::Application, R::Camera, 0, S::None},
    {113, O::Application, R::CameraAlbum, 0, S::None},
    {114, O::Application, R::Camera, 0, S::None},
    {115, O::Application, R::Camera, 0, S::None},
    {116, O::Application, R::Camera, 0, S::None},
    {117, O::Application, R::Camera, 0, S::None},
    {118, O::Application, R::Calibration, 0, S::None},
    // Frame commands.
    {103, O::Frame, R::PasteNew, 0, S::None},
    {152, O::Frame, R::Ftp, 0, S::None},
    {153, O::Frame, R::Always, 0, S::None},
    {154, O::Frame, R::Always, 0, S::None},
    {57670, O::Frame, R::Always, 0, S::None},
    {57649, O::Frame, R::Always, 0, S::None},
    {57650, O::Frame, R::Always, 0, S::None},
    {57651, O::Frame, R::Always, 0, S::None},
};

}  // namespace

const std::vector<CommandInfo>& commandTable() { return kCommands; }

const CommandInfo* findCommand(int id) {
    for (const CommandInfo& c : kCommands)
        if (c.id == id) return &c;
    return nullptr;
}

bool ruleHolds(Rule rule, int minDepth, const CommandState& s) {
    const bool c = s.hasPicture && !s.toolWindow;
    switch (rule) {
    case Rule::A: return c && s.depth >= 1 && s.depth <= 24;
    case Rule::B:
        if (!c) return false;
        return s.hasSelection ? s.depth >= 15 : s.depth >= minDepth && s.depth <= 24;
    case Rule::C: return c;
    case Rule::D: return c && s.clipboardHasPicture;
    case Rule::E: return c && s.hasSelection;
    case Rule::F: return !s.toolWindow;
    case Rule::G: return s.libraryLoaded && !s.toolWindow;
    case Rule::H: return s.undoAvailable && !s.toolWindow;
    case Rule::I: return c && !s.hasSelection && s.depth == 24;
    case Rule::Never: return false;
    case Rule::Always: return true;
    case Rule::PickTransparent: return c && s.depth <= 8 && s.trackerIdle;
    case Rule::SendToCamera: return c && s.libraryLoaded && s.cameraCapable && !s.cameraAlbumOpen;
    // With the tool window open every document command is off, these too.
    case Rule::Browser: return s.browserPathSet && !s.toolWindow;
    case Rule::HtmlEditor: return s.htmlEditorPathSet && !s.toolWindow;
    case Rule::Ftp: return s.ftpPathSet;
    case Rule::ZoomIn: return c && s.zoom <= 500;
    case Rule::ZoomOut: return c && s.zoom >= 20;
    case Rule::FileList: return s.fileListCount < 10;
    case Rule::PasteNew: return s.clipboardHasPicture && !s.toolWindow;
    case Rule::Camera: return s.libraryLoaded && s.cameraCapable && !s.cameraAlbumOpen;
    case Rule::CameraAlbum: return s.libraryLoaded && s.cameraCapable && !s.cameraAlbumOpen;
    case Rule::Calibration: return s.libraryLoaded && s.calibrationCapable;
    }
    return false;
}

bool commandEnabled(const CommandInfo& command, const CommandState& state) {
    if (command.owner == Owner::Document && !state.hasDocument) return false;
    return ruleHolds(command.rule, command.minDepth, state);
}

}  // namespace quillon
