#include "resources/menu_layout.h"

namespace quillon {
namespace {

MenuItemLayout cmd(int id, const char* label, const char* shortcut = "") {
    return {MenuItemLayout::Kind::Command, id, QString::fromUtf8(label), QString::fromUtf8(shortcut)};
}
MenuItemLayout sep() { return {MenuItemLayout::Kind::Separator, 0, {}, {}}; }
MenuItemLayout recent() {
    return {MenuItemLayout::Kind::RecentFiles, 57616, QString::fromUtf8("最近使ったﾌｧｲﾙ"), {}};
}

}  // namespace

std::vector<PopupLayout> mainMenuLayout() {
    // Positions matter: the File popup's separator at 6 stands above 101; the
    // capture popup's separators at 8 and 10 stand above 117 and 118.
    return {
        {QString::fromUtf8("ﾌｧｲﾙ(&Fﾌ)"),
         {cmd(57600, "新規作成(&Nｼ)...", "Ctrl+N"), cmd(57601, "開く(&Oﾋ)...", "Ctrl+O"),
          cmd(57603, "上書き保存(&Sｳ)"), cmd(57604, "名前を付けて保存(&Aﾅ)..."), sep(),
          cmd(100, "ﾌｧｲﾙ一覧(&Lｲ)"), sep(), cmd(101, "QV-10へ送信(&Tｷ)..."), sep(),
          cmd(57607, "印刷(&Pｲ)..."), sep(), recent(), sep(), cmd(57665, "終了(&Xﾘ)")}},
        {QString::fromUtf8("編集(&Eﾍ)"),
         {cmd(57643, "ｱﾝﾄﾞｩ(&Uｱ)"), sep(), cmd(57635, "切り取り(&Tｷ)"), cmd(57634, "ｺﾋﾟｰ(&Cｺ)"),
          cmd(57637, "貼り付け(&Pﾊ)"), cmd(104, "透過貼り付け(&Rﾄ)"), cmd(103, "新規ﾌｧｲﾙに貼り付け(&Wｼ)"),
          cmd(57632, "削除(&Dｻ)"), sep(), cmd(105, "全範囲を選択(&Aｾ)"),
          cmd(106, "範囲選択を解除(&Nｶ)"), sep(), cmd(107, "透過色の設定(&Sﾄ)")}},
        {QString::fromUtf8("取り込み(&Iﾄ)"),
         {cmd(109, "画面全取り込み(&Gｶ)"), cmd(110, "ｽｷｬﾅからの取込(&Sｽ)..."),
          cmd(111, "ｶﾒﾗからの取込(&Cｶ)..."), cmd(112, "QV-10からの取込(&Qｷ)..."),
          cmd(113, "QV-10一覧表示(&Vｲ)"), cmd(114, "QV-10全取り込み(&Lｾ)..."), cmd(115, "QV-10撮影(&Hﾂ)"),
          cmd(116, "QV-10再生(&Yｻ)..."), sep(), cmd(117, "QV-10設定(&Oｾ)..."), sep(),
          cmd(118, "ｽｷｬﾅのｷｬﾘﾌﾞﾚｰｼｮﾝ(&Aﾔ)...")}},
        {QString::fromUtf8("回転(&Rｶ)"),
         {cmd(120, "90°右回転(&Rﾐ)"), cmd(121, "90°左回転(&Lﾋ)"), cmd(122, "右微小回転(&Mｳ)"),
          cmd(123, "左微小回転(&Nｻ)"), cmd(124, "任意角度(&Aﾆ)..."), cmd(125, "傾き補正(&Tｶ)..."), sep(),
          cmd(126, "ﾘｻｲｽﾞ(&Sﾘ)..."), sep(), cmd(127, "水平反転(&Hｽ)"), cmd(128, "垂直反転(&Vｽ)")}},
        {QString::fromUtf8("色調(&Cｼ)"),
         {cmd(133, "色反転(&Nﾊ)"), cmd(134, "輝度・ｺﾝﾄﾗｽﾄ(&Bｷ)..."), cmd(135, "彩度(&Sｻ)..."),
          cmd(136, "ﾋｽﾄｸﾞﾗﾑ(&Hﾋ)..."), cmd(137, "階調変換(&Dｶ)..."), sep(), cmd(138, "ｾﾋﾟｱ調にする(&Pｾ)"),
          cmd(139, "金赤にする(&Gｷ)"), cmd(140, "色ﾌｨﾙﾀ(&Fﾌ)..."), cmd(141, "色合い調整(&Iｲ)...")}},
        {QString::fromUtf8("ﾌｨﾙﾀ(&Lﾌ)"),
         {cmd(129, "ぼかす(&Bﾎ)"), cmd(130, "強くぼかす(&Oﾂ)"), cmd(131, "鮮明にする(&Sｾ)"),
          cmd(132, "強く鮮明にする(&Tﾂ)"), sep(), cmd(142, "文字(&Xﾓ)...")}},
        {QString::fromUtf8("補正(&Mﾎ)"),
         {cmd(143, "色ずれ補正(&Cｽ)..."), cmd(144, "ﾋﾟﾝぼけ補正(&Fﾋ)"), cmd(145, "逆光補正(&Bｷ)"),
          cmd(146, "光量不足補正(&Lｺ)"), cmd(147, "赤かぶり補正(&Rｱ)"), cmd(148, "緑かぶり補正(&Gﾐ)"),
          cmd(149, "ﾉｲｽﾞ除去(&Nﾉ)")}},
        {QString::fromUtf8("表示(&Vﾋ)"),
         {cmd(155, "標準倍率 (&1:1)"), cmd(156, "1:&2"), cmd(157, "1:&4"), cmd(158, "1:&8"), sep(),
          cmd(159, "&2:1"), cmd(160, "&4:1"), cmd(161, "&8:1"), sep(), cmd(162, "指定倍率(&Zｼ)..."), sep(),
          cmd(165, "ｲﾒｰｼﾞ情報(&Iｲ)...")}},
        {QString::fromUtf8("HTML(&Hｴ)"),
         {cmd(150, "ﾌﾞﾗｳｻﾞ起動(&Bﾌ)"), cmd(151, "HTMLｴﾃﾞｨﾀ起動(&Eｴ)"), cmd(152, "FTPｿﾌﾄ起動(&Eｴ)"), sep(),
          cmd(153, "HTMLﾌｧｲﾙから開く(&Oﾋ)..."), sep(), cmd(154, "HTMLの設定(&Sｾ)...")}},
        {QString::fromUtf8("ｳｨﾝﾄﾞｳ(&Wｳ)"),
         {cmd(57650, "重ねて表示(&Cｶ)"), cmd(57651, "並べて表示(&Tﾅ)"), cmd(57649, "ｱｲｺﾝの整列(&Aｱ)")}},
        {QString::fromUtf8("ﾍﾙﾌﾟ(&Hﾍ)"),
         {cmd(57670, "目次(&Cﾓ)"), sep(), cmd(57664, "ﾊﾞｰｼﾞｮﾝ情報(&Aﾊ)...")}},
    };
}

std::vector<MenuItemLayout> contextMenuLayout() {
    return {cmd(57643, "ｱﾝﾄﾞｩ(&Uｱ)"),        cmd(57634, "ｺﾋﾟｰ(&Cｺ)"),
            cmd(57635, "切り取り(&Tｷ)"),     cmd(57637, "貼り付け(&Pﾊ)"),
            cmd(104, "透過貼り付け(&Rﾄ)"),   cmd(57632, "削除(&Dｻ)"),
            cmd(105, "全範囲を選択(&Aｾ)"),   cmd(106, "範囲選択を解除(&Nｶ)"),
            sep(),                           cmd(101, "QV-10へ送信(&Tｷ)..."),
            cmd(57607, "印刷(&Pｲ)...")};
}

std::vector<int> toolbarLayout() {
    return {57600, 57601, 57604, 0, 57634, 57637, 57643, 0, 110, 111, 112, 0,
            121, 120, 128, 127, 0, 129, 131, 134, 136, 137, 138, 141, 0, 163, 164, 0, 57664, 57670};
}

QString menuLabelOf(int commandId) {
    for (const PopupLayout& popup : mainMenuLayout())
        for (const MenuItemLayout& item : popup.items)
            if (item.kind == MenuItemLayout::Kind::Command && item.id == commandId) return item.label;
    return {};
}

QString plainLabel(const QString& label) {
    QString out;
    out.reserve(label.size());
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label[i] == u'&' && i + 1 < label.size()) ++i;
        out += label[i];
    }
    return out;
}

}  // namespace quillon
