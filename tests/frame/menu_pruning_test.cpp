#include "doc/command_table.h"
#include "frame/menu_pruning.h"
#include "resources/menu_layout.h"
#include "resources/strings.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

// Ids of a popup, 0 for a separator.
std::vector<int> ids(const PopupLayout& popup) {
    std::vector<int> out;
    for (const MenuItemLayout& item : popup.items) out.push_back(item.isSeparator() ? 0 : item.id);
    return out;
}

TEST(FrameMenuPruning, CapturePopupAndFileMenuForEachCapability) {
    struct Case {
        bool camera, calibration;
        std::vector<int> capture;
        bool file101;
    };
    const Case cases[] = {
        {true, true, {109, 110, 111, 112, 113, 114, 115, 116, 0, 117, 0, 118}, true},
        {true, false, {109, 110, 111, 112, 113, 114, 115, 116, 0, 117}, true},
        {false, true, {109, 110, 111, 0, 118}, false},
        {false, false, {109, 110, 111}, false},
    };
    const size_t fullFileItems = mainMenuLayout()[kFilePopup].items.size();
    for (const Case& c : cases) {
        std::vector<PopupLayout> menu = mainMenuLayout();
        pruneMenu(menu, {c.camera, c.calibration});
        EXPECT_EQ(ids(menu[kCapturePopup]), c.capture) << c.camera << c.calibration;
        const std::vector<int> file = ids(menu[kFilePopup]);
        EXPECT_EQ(std::count(file.begin(), file.end(), 101), c.file101 ? 1 : 0);
        // 101 and exactly one separator go; no two separators end up adjacent.
        EXPECT_EQ(menu[kFilePopup].items.size(), fullFileItems - (c.file101 ? 0 : 2));
        for (size_t i = 1; i < file.size(); ++i) EXPECT_FALSE(file[i] == 0 && file[i - 1] == 0);
    }
}

TEST(FrameMenuPruning, SeparatorsSitWhereThePositionsSay) {
    const std::vector<PopupLayout> menu = mainMenuLayout();
    ASSERT_TRUE(menu[kFilePopup].items[6].isSeparator());
    EXPECT_EQ(menu[kFilePopup].items[7].id, 101);
    ASSERT_TRUE(menu[kCapturePopup].items[8].isSeparator());
    EXPECT_EQ(menu[kCapturePopup].items[9].id, 117);
    ASSERT_TRUE(menu[kCapturePopup].items[10].isSeparator());
    EXPECT_EQ(menu[kCapturePopup].items[11].id, 118);
}

TEST(FrameMenuPruning, ToolbarLosesCameraButtonOnly) {
    std::vector<int> buttons = toolbarLayout();
    pruneToolbar(buttons, {true, false});
    EXPECT_EQ(buttons, toolbarLayout());
    pruneToolbar(buttons, {false, true});
    EXPECT_EQ(std::count(buttons.begin(), buttons.end(), 112), 0);
    EXPECT_EQ(buttons.size(), toolbarLayout().size() - 1);
}

TEST(FrameMenuLayout, LabelsReadAsGiven) {
    const std::pair<int, const char*> labels[] = {
        {57665, "終了(Xﾘ)"},
        {57600, "新規作成(Nｼ)..."},
        {57601, "開く(Oﾋ)..."},
        {112, "QV-10からの取込(Qｷ)..."},
        {114, "QV-10全取り込み(Lｾ)..."},
        {115, "QV-10撮影(Hﾂ)"},
        {116, "QV-10再生(Yｻ)..."},
        {101, "QV-10へ送信(Tｷ)..."},
        {110, "ｽｷｬﾅからの取込(Sｽ)..."},
        {111, "ｶﾒﾗからの取込(Cｶ)..."},
        {118, "ｽｷｬﾅのｷｬﾘﾌﾞﾚｰｼｮﾝ(Aﾔ)..."},
        {103, "新規ﾌｧｲﾙに貼り付け(Wｼ)"},
        {150, "ﾌﾞﾗｳｻﾞ起動(Bﾌ)"},
        {151, "HTMLｴﾃﾞｨﾀ起動(Eｴ)"},
        {152, "FTPｿﾌﾄ起動(Eｴ)"},
        {153, "HTMLﾌｧｲﾙから開く(Oﾋ)..."},
        {154, "HTMLの設定(Sｾ)..."},
        {57664, "ﾊﾞｰｼﾞｮﾝ情報(Aﾊ)..."},
    };
    for (auto [id, text] : labels) EXPECT_EQ(plainLabel(menuLabelOf(id)), QString::fromUtf8(text)) << id;
    // Zoom labels keep their own mnemonics.
    EXPECT_EQ(menuLabelOf(155), QString::fromUtf8("標準倍率 (&1:1)"));
    EXPECT_EQ(menuLabelOf(161), QStringLiteral("&8:1"));
    EXPECT_EQ(mainMenuLayout()[kFilePopup].title, QString::fromUtf8("ﾌｧｲﾙ(&Fﾌ)"));
}

TEST(FrameMenuLayout, EveryMenuCommandIsInTheTableAndDocumentLabelsStartWithTheirText) {
    // The table's labels (without the mnemonic pair) that Part of the
    // document commands quotes.
    const std::pair<int, const char*> starts[] = {
        {57603, "上書き保存"}, {57604, "名前を付けて保存"}, {57607, "印刷"}, {57643, "ｱﾝﾄﾞｩ"},
        {57634, "ｺﾋﾟｰ"}, {57635, "切り取り"}, {57637, "貼り付け"}, {104, "透過貼り付け"},
        {57632, "削除"}, {105, "全範囲を選択"}, {106, "範囲選択を解除"}, {107, "透過色の設定"},
        {109, "画面全取り込み"}, {120, "90°右回転"}, {121, "90°左回転"}, {122, "右微小回転"},
        {123, "左微小回転"}, {124, "任意角度"}, {125, "傾き補正"}, {126, "ﾘｻｲｽﾞ"}, {127, "水平反転"},
        {128, "垂直反転"}, {129, "ぼかす"}, {130, "強くぼかす"}, {131, "鮮明にする"},
        {132, "強く鮮明にする"}, {133, "色反転"}, {134, "輝度・ｺﾝﾄﾗｽﾄ"}, {135, "彩度"},
        {136, "ﾋｽﾄｸﾞﾗﾑ"}, {137, "階調変換"}, {138, "ｾﾋﾟｱ調にする"}, {139, "金赤にする"},
        {140, "色ﾌｨﾙﾀ"}, {141, "色合い調整"}, {142, "文字"}, {143, "色ずれ補正"},
        {144, "ﾋﾟﾝぼけ補正"}, {145, "逆光補正"}, {146, "光量不足補正"}, {147, "赤かぶり補正"},
        {148, "緑かぶり補正"}, {149, "ﾉｲｽﾞ除去"}, {162, "指定倍率"}, {165, "ｲﾒｰｼﾞ情報"},
        {100, "ﾌｧｲﾙ一覧"}, {113, "QV-10一覧表示"}, {117, "QV-10設定"},
    };
    for (auto [id, text] : starts) {
        const QString label = plainLabel(menuLabelOf(id));
        EXPECT_TRUE(label.startsWith(QString::fromUtf8(text) + u'(')) << id << " " << label.toStdString();
    }
    for (const PopupLayout& popup : mainMenuLayout())
        for (const MenuItemLayout& item : popup.items)
            if (item.kind == MenuItemLayout::Kind::Command) { EXPECT_NE(findCommand(item.id), nullptr) << item.id; }
    for (int id : toolbarLayout())
        if (id) { EXPECT_FALSE(tooltipOf(id).isEmpty()) << id; }
}

TEST(FrameMenuLayout, ShortcutsOfNewAndOpen) {
    for (const MenuItemLayout& item : mainMenuLayout()[kFilePopup].items) {
        if (item.id == 57600) { EXPECT_EQ(item.shortcut, QStringLiteral("Ctrl+N")); }
        if (item.id == 57601) { EXPECT_EQ(item.shortcut, QStringLiteral("Ctrl+O")); }
    }
}

}  // namespace
}  // namespace quillon
