#pragma once
// What the user reads, written once for both front-ends: the program takes
// each as UTF-16 (L"" HOPPEL_TEXT_...), the page's packer reads them from
// this file when the page is built. The menu's texts are the resource
// script's, which the packer reads too.
// The main window's title.
#define HOPPEL_TEXT_TITLE "Hoppelmaru"
#define HOPPEL_TEXT_AUTO "自動"
#define HOPPEL_TEXT_STOP "停止"
#define HOPPEL_TEXT_CLEAR "クリア"
#define HOPPEL_TEXT_ABOUT_CAPTION "バージョン情報"
// Followed by the version.
#define HOPPEL_TEXT_ABOUT "Hoppelmaru バージョン "
#define HOPPEL_TEXT_WRITE_ERROR_CAPTION "書き込みエラー"
#define HOPPEL_TEXT_WRITE_ERROR "ファイル作成に失敗しました。空き容量を確認してください"
#define HOPPEL_TEXT_SAVE_FILTER "ビットマップ(*.bmp)"
#define HOPPEL_TEXT_SAVE_TITLE "保存するファイル名を指定してください"
// The maker's home page (Help > 作者サイト).
#define HOPPEL_TEXT_HOME_PAGE "https://quillmarsh.example/hoppelmaru/"
