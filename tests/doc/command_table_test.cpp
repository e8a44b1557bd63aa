#include "doc/command_table.h"
#include "doc/zoom.h"

#include <gtest/gtest.h>

#include <set>

namespace quillon {
namespace {

std::set<int> enabledDocumentCommands(const CommandState& s) {
    std::set<int> out;
    for (const CommandInfo& c : commandTable())
        if (c.owner == Owner::Document && commandEnabled(c, s)) out.insert(c.id);
    return out;
}

std::set<int> documentCommandsOfRules(std::set<Rule> rules) {
    std::set<int> out;
    for (const CommandInfo& c : commandTable())
        if (c.owner == Owner::Document && rules.count(c.rule)) out.insert(c.id);
    return out;
}

CommandState picture(int depth) {
    CommandState s;
    s.hasDocument = s.hasPicture = true;
    s.depth = depth;
    s.clipboardHasPicture = true;
    s.libraryLoaded = true;
    s.undoAvailable = true;
    return s;
}

TEST(DocCommandTable, ThirtyTwoBitPictureEnablesExactlyRulesCtoH) {
    CommandState s = picture(32);
    s.hasSelection = true;
    // Zoom 100 also lets 163 and 164 through: both are C with a zoom bound.
    std::set<int> expected = documentCommandsOfRules({Rule::C, Rule::D, Rule::E, Rule::F, Rule::G, Rule::H,
                                                      Rule::ZoomIn, Rule::ZoomOut, Rule::B});
    EXPECT_EQ(enabledDocumentCommands(s), expected);

    s.hasSelection = false;
    expected = documentCommandsOfRules({Rule::C, Rule::D, Rule::F, Rule::G, Rule::H, Rule::ZoomIn, Rule::ZoomOut});
    EXPECT_EQ(enabledDocumentCommands(s), expected);
    EXPECT_FALSE(enabledDocumentCommands(s).count(57603)) << "Save is rule A: 1 to 24 bits";
}

TEST(DocCommandTable, RuleBFollowsDepthAndSelection) {
    struct Case { int depth; bool selection; int minDepth; bool enabled; };
    const Case cases[] = {
        {1, false, 1, true},   {4, false, 4, true},   {1, false, 4, false}, {8, false, 24, false},
        {24, false, 24, true}, {32, false, 1, false}, {8, true, 1, false},  {15, true, 24, true},
        {16, true, 1, true},   {32, true, 1, true},
    };
    for (const Case& c : cases) {
        CommandState s = picture(c.depth);
        s.hasSelection = c.selection;
        EXPECT_EQ(ruleHolds(Rule::B, c.minDepth, s), c.enabled)
            << "depth " << c.depth << " selection " << c.selection << " min " << c.minDepth;
    }
}

TEST(DocCommandTable, ToolWindowDisablesEveryDocumentCommand) {
    CommandState s = picture(24);
    s.toolWindow = true;
    s.browserPathSet = s.htmlEditorPathSet = true;
    EXPECT_TRUE(enabledDocumentCommands(s).empty());
}

TEST(DocCommandTable, NoDocumentLeavesOnlyApplicationAndFrameCommands) {
    CommandState s;
    s.libraryLoaded = true;
    for (const CommandInfo& c : commandTable())
        if (c.owner == Owner::Document) { EXPECT_FALSE(commandEnabled(c, s)) << c.id; }
    EXPECT_TRUE(commandEnabled(*findCommand(57600), s));
    EXPECT_TRUE(commandEnabled(*findCommand(57601), s));
}

TEST(DocCommandTable, SpecialRules) {
    CommandState s = picture(8);
    EXPECT_TRUE(commandEnabled(*findCommand(107), s));
    s.trackerIdle = false;
    EXPECT_FALSE(commandEnabled(*findCommand(107), s));
    EXPECT_FALSE(commandEnabled(*findCommand(108), picture(24)));
    EXPECT_FALSE(commandEnabled(*findCommand(101), picture(24))) << "no camera capability";
    CommandState camera = picture(24);
    camera.cameraCapable = true;
    EXPECT_TRUE(commandEnabled(*findCommand(101), camera));
    camera.cameraAlbumOpen = true;
    EXPECT_FALSE(commandEnabled(*findCommand(101), camera));
    EXPECT_FALSE(commandEnabled(*findCommand(112), camera));
    CommandState i = picture(24);
    EXPECT_TRUE(commandEnabled(*findCommand(143), i));
    i.hasSelection = true;
    EXPECT_FALSE(commandEnabled(*findCommand(143), i));
}

TEST(DocCommandTable, ZoomBoundsOfZoomInAndOut) {
    CommandState s = picture(24);
    for (auto [zoom, in, out] : {std::tuple{500, true, true}, {501, false, true}, {20, true, true}, {19, true, false}}) {
        s.zoom = zoom;
        EXPECT_EQ(commandEnabled(*findCommand(163), s), in) << zoom;
        EXPECT_EQ(commandEnabled(*findCommand(164), s), out) << zoom;
    }
}

TEST(DocZoom, StepsInAndOut) {
    EXPECT_EQ(zoomedIn(12), 25);
    EXPECT_EQ(zoomedOut(25), 12);
    EXPECT_EQ(zoomedIn(25), 50);
    EXPECT_EQ(zoomedIn(500), 1000);
    EXPECT_EQ(zoomedIn(501), 501);
    EXPECT_EQ(zoomedOut(20), 10);
    EXPECT_EQ(zoomedOut(19), 19);
    const std::pair<int, int> fixed[] = {{155, 100}, {156, 200}, {157, 400}, {158, 800},
                                         {159, 50},  {160, 25},  {161, 12},  {162, 0}};
    for (auto [id, zoom] : fixed) EXPECT_EQ(fixedZoomOf(id), zoom) << id;
}

TEST(DocCommandTable, IdsAreUnique) {
    std::set<int> ids;
    for (const CommandInfo& c : commandTable()) EXPECT_TRUE(ids.insert(c.id).second) << c.id;
}

}  // namespace
}  // namespace quillon
