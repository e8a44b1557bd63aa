// The user texts of the file dialogs, as the user sees them.
#pragma once

namespace quillon::dialog_text {

// The labels of the toolkit's file dialog, in the program's language.
inline constexpr const char* kLookIn = "ﾌｧｲﾙの場所:";
inline constexpr const char* kFileName = "ﾌｧｲﾙ名:";
inline constexpr const char* kFileType = "ﾌｧｲﾙの種類:";
inline constexpr const char* kSave = "保存(&S)";
inline constexpr const char* kOpen = "開く(&O)";
inline constexpr const char* kCancel = "ｷｬﾝｾﾙ";

// Save As and Save.
inline constexpr const char* kInterlace = "ｲﾝﾀｰﾚｰｽ(&I)";
inline constexpr const char* kTransparentGif = "透明GIF(&G)";
inline constexpr const char* kTransparentColour = "透明色(&T):";

// The quality dialog (template 1030).
inline constexpr const char* kQualityCaption = "画質の設定";
inline constexpr const char* kQualityLabel = "画質(&Q):";
inline constexpr const char* kProgressive = "ﾌﾟﾛｸﾞﾚｯｼﾌﾞJPEG(&P)";
// Message 5006.
inline constexpr const char* kQualityRange = "5～100の間で設定してください";

// The Open dialog.
inline constexpr const char* kPreview = "ﾌﾟﾚﾋﾞｭｰ(&V)";
// Message 5019.
inline constexpr const char* kPreviewNoMemory = "ﾒﾓﾘが不足しています。処理を中止します。";

// The image information dialog (template 1250).
inline constexpr const char* kInfoCaption = "ｲﾒｰｼﾞ情報";
inline constexpr const char* kInfoPathLabel = "ﾌｧｲﾙ名:";
inline constexpr const char* kInfoFormatLabel = "ﾌｫｰﾏｯﾄ:";
inline constexpr const char* kInfoSizeLabel = "ｻｲｽﾞ:";
inline constexpr const char* kInfoDepthLabel = "色数:";

}  // namespace quillon::dialog_text
