#include "image/error_messages.h"

#include "image/last_result.h"
#include "ui/ui_port.h"

namespace quillon {

QString imagingErrorMessage(int code) {
    const char* text = nullptr;
    switch (code) {
    case -1: case -3:
        text = "ﾒﾓﾘ不足です。他のｱﾌﾟﾘｹｰｼｮﾝを終了してﾒﾓﾘを解放してください。";
        break;
    case -4: case -6: case -7: case -8: case -10: case -14:
        text = "指定されたﾌｧｲﾙにｱｸｾｽできません。";
        break;
    case -5: text = "ﾌｧｲﾙ書き込み中にｴﾗｰがありました。"; break;
    case -9: text = "指定されたﾌｫｰﾏｯﾄは無効です。"; break;
    case -12: text = "指定されたﾌｫｰﾏｯﾄはｲﾒｰｼﾞをｻﾎﾟｰﾄしていません。"; break;
    case -15: case -16: case -19:
        text = "指定されたﾌｧｲﾙは、壊れているか拡張子とﾌｫｰﾏｯﾄが一致していません。";
        break;
    case -23: text = "指定された圧縮ﾊﾟﾗﾒｰﾀが無効です。"; break;
    case -24: case -25: text = "指定された選択領域が無効です。"; break;
    case -27: text = "指定されたﾋﾞｯﾄ階層が無効です。"; break;
    case -63: case -64: text = "ﾃﾞｰﾀにﾊﾟﾚｯﾄ情報がありません。"; break;
    default:
        if (code >= 0) return QString();
        text = "原因不明のｴﾗｰが発生しました。";
    }
    return QString::fromUtf8(text);
}

bool reportImagingError(UiPort& ui) {
    const int result = lastImagingResult();
    if (result >= 0) return true;
    ui.message(imagingErrorMessage(result), MsgButtons::Ok, MsgIcon::None);
    setLastImagingResult(1);
    return false;
}

}  // namespace quillon
