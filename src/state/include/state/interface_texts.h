#pragma once
#include <array>
#include <string_view>

namespace pagora {

// Every word the reader shows.
namespace texts {
inline constexpr std::u16string_view caption = u"Pagora 1.8";
inline constexpr std::u16string_view applicationTitle = u"Pagora";
inline constexpr std::u16string_view captionSeparator = u" - ";
inline constexpr std::u16string_view myShelf = u"我的書架";
inline constexpr std::u16string_view shelfButton = u"書架";
inline constexpr std::u16string_view contents = u"目錄";
inline constexpr std::u16string_view mainShelf = u"主";
inline constexpr std::u16string_view chooseMainShelf = u"選主架";
inline constexpr std::u16string_view chooseMainShelfCaption = u"請選擇主書架：";
inline constexpr std::u16string_view sizeLabel = u"字體";
inline constexpr std::u16string_view fontLabel = u"字型";
inline constexpr std::u16string_view textColourLabel = u"字色";
inline constexpr std::u16string_view backgroundLabel = u"背景";
inline constexpr std::u16string_view black = u"黑";
inline constexpr std::u16string_view white = u"白";
inline constexpr std::u16string_view screenLabel = u"螢幕";
inline constexpr std::u16string_view punctuationLabel = u"標點";
inline constexpr std::u16string_view verticalPunctuation = u"直";
inline constexpr std::u16string_view uprightPunctuation = u"橫";
// The switch for column breaks by the rules of printed Chinese.
inline constexpr std::u16string_view chineseBreaks = u"避頭尾";
inline constexpr std::u16string_view bookmark = u"書籤";
inline constexpr std::u16string_view nextBookmark = u"下一書籤";
inline constexpr std::u16string_view previousBookmark = u"上一書籤";
inline constexpr std::u16string_view addBookmark = u"加上書籤";
inline constexpr std::u16string_view deleteBookmark = u"刪除書籤";
inline constexpr std::u16string_view search = u"尋找";
inline constexpr std::u16string_view searchLabel = u"尋找：";
inline constexpr std::u16string_view findNext = u"找下一個";
inline constexpr std::u16string_view findPrevious = u"找上一個";
inline constexpr std::u16string_view notFound = u"找不到 ";
inline constexpr std::u16string_view instructions = u"操作說明";
inline constexpr std::u16string_view start = u"開始";
inline constexpr std::u16string_view back = u"返回";
inline constexpr std::u16string_view moveTo = u"移至";
inline constexpr std::u16string_view deleteText = u"刪除";
inline constexpr std::u16string_view replaceSameName = u"書架上已有同名的另一本書，以";
inline constexpr std::u16string_view close = u"關閉";
inline constexpr std::u16string_view helpHeading = u"如何翻頁和換節？";
inline constexpr std::u16string_view touchHeading = u"全螢幕觸控：";
inline constexpr std::u16string_view sectionKeys = u"下一節：PgDn　上一節：PgUp";
inline constexpr std::u16string_view pageKeys = u"下一頁：←↓空白鍵　上一頁：→↑倒退鍵";
inline constexpr std::u16string_view wheelKeys = u"亦可使用滑鼠滾輪，上下頁";
// The second page of the help: selecting, marks and notes, and the keys.
inline constexpr std::u16string_view keysHeading = u"選字、附註和按鍵";
inline constexpr std::array<std::u16string_view, 14> keysHelp = {
    u"選字：按住左鍵拖曳；Shift＋點按延伸",  u"選字後按右鍵或選單鍵（Shift＋F10）：",
    u"　複製、尋找、查字、畫線、加註、朗讀", u"點畫線處再開選單：改顏色、修改附註",
    u"複製：Ctrl＋C　　開啟檔案：Ctrl＋O",   u"所有附註：選單的「附註」",
    u"避頭尾：選單中切換斷行規則",           u"尋找：Ctrl＋F，輸入後按 Enter",
    u"找下一個：F3　找上一個：Shift＋F3",    u"全螢幕：F11　回到書架：Alt＋Home",
    u"Esc：返回上一步（關閉選單、卡片、",    u"　目錄、附註和說明，離開全螢幕）",
    u"朗讀：選單的「朗讀」從本頁讀起，",     u"　長按「朗讀」選聲音；Esc 或點按停止",
};
inline constexpr std::u16string_view show = u"顯示";
inline constexpr std::u16string_view pageNumber = u"頁數";
inline constexpr std::u16string_view sectionNumber = u"節數";
inline constexpr std::u16string_view nextPage = u"下一頁";
inline constexpr std::u16string_view previousPage = u"上一頁";
inline constexpr std::u16string_view nextSection = u"下一節";
inline constexpr std::u16string_view previousSection = u"上一節";
inline constexpr std::u16string_view options = u"選項";
inline constexpr std::u16string_view cancel = u"取消";
inline constexpr std::u16string_view ok = u"確定";
// Bringing files onto a shelf; each follows the file name in "《" and "》".
inline constexpr std::u16string_view importing = u"匯入";
inline constexpr std::u16string_view mostlySimplified = u"大多是簡體字，要轉成繁體字嗎？";
inline constexpr std::u16string_view convert = u"轉換";
inline constexpr std::u16string_view dontConvert = u"不轉換";
// A dropped folder: the question holds the count between these two.
inline constexpr std::u16string_view addFolderBefore = u"加入這個資料夾中的 ";
inline constexpr std::u16string_view addFolderAfter = u" 本書與文字檔？";
inline constexpr std::u16string_view emptyFolder = u"這個資料夾中沒有書或文字檔。";
inline constexpr std::u16string_view cannotImport = u"無法匯入";
inline constexpr std::u16string_view cannotAdd = u"無法加入";
inline constexpr std::u16string_view notABook = u"這不是能閱讀的書。";
inline constexpr std::u16string_view unsupportedFile = u"只能加入書（.pdb、.updb）、文字檔和 EPUB。";
inline constexpr std::u16string_view cannotWrite = u"無法寫入書架。";
// Shown over the list while the shelf is empty, one line each.
inline constexpr std::array<std::u16string_view, 3> emptyShelfHint = {
    u"書架上還沒有書。",
    u"把 .txt、.epub、.pdb 或 .updb 檔",
    u"拖放到這裡，或按 Ctrl+O 開啟。",
};
inline constexpr std::u16string_view openFilesCaption = u"開啟書、文字檔或 EPUB";
inline constexpr std::u16string_view openFilesFilter =
    u"書、文字檔和 EPUB (*.pdb *.updb *.txt *.epub);;書 (*.pdb *.updb);;文字檔 (*.txt);;EPUB (*.epub)";
// Follows the name of the book on the shelf.
inline constexpr std::u16string_view sameBookOnShelf = u"已在書架上，內容相同。要打開架上那本，還是再放一本？";
inline constexpr std::u16string_view openTheOneThere = u"打開架上那本";
inline constexpr std::u16string_view addAnotherCopy = u"再放一本";
// Why an import failed, each with what the person can do about it.
inline constexpr std::u16string_view importNotAFile =
    u"這不是一般的檔案（是資料夾、管線或裝置）。請選擇文字檔或 EPUB。";
inline constexpr std::u16string_view importUnreadable = u"無法讀取這個檔案。請確認檔案還在，而且有讀取的權限。";
inline constexpr std::u16string_view importTooLarge = u"檔案太大（超過 128 MB），不像是一本書。";
inline constexpr std::u16string_view importChanged = u"讀取時檔案被改動了。請等檔案寫完後再匯入一次。";
inline constexpr std::u16string_view importEmpty = u"檔案裡沒有文字。";
inline constexpr std::u16string_view importNotText =
    u"這不是文字檔（裡面是圖片或程式之類的資料）。請確認選的是正確的檔案。";
inline constexpr std::u16string_view importUnknownEncoding =
    u"看不出這個文字檔的編碼（能讀 UTF-8、UTF-16、Big5 和 GB18030）。請用文字編輯器另存成 UTF-8 後再匯入。";
inline constexpr std::u16string_view importInvalidText =
    u"文字檔裡有無法解讀的字。請用文字編輯器另存成 UTF-8 後再匯入。";
inline constexpr std::u16string_view importNotAnEpub =
    u"這不是能讀取的 EPUB，檔案可能不完整或已損壞。請重新下載或複製一次。";
inline constexpr std::u16string_view importDamagedEpub = u"這本 EPUB 有損壞的部分。請重新下載或複製一次。";
inline constexpr std::u16string_view importEntities = u"這本 EPUB 含有實體宣告，書不需要這種內容，為了安全不匯入。";
inline constexpr std::u16string_view importDrm = u"這本 EPUB 有數位版權保護（DRM），文字已加密，無法匯入。";
inline constexpr std::u16string_view importNoConverter =
    u"找不到簡繁轉換的資料。請重新安裝 Pagora，或匯入時不轉換。";
inline constexpr std::u16string_view importNoMemory = u"記憶體不足，無法匯入這個檔案。請關閉其他程式後再試。";
inline constexpr std::u16string_view importFailed = u"匯入失敗，書架沒有變更。";
inline constexpr std::u16string_view importCrashed = u"匯入程式意外結束，書架沒有變更。這個檔案可能已損壞。";
inline constexpr std::u16string_view importTimedOut = u"匯入太久仍未完成，已經停止，書架沒有變更。這個檔案可能已損壞。";
inline constexpr std::u16string_view importerMissing = u"找不到匯入程式 pagora-book。請重新安裝 Pagora。";
inline constexpr std::u16string_view defaultFace = u"新細明體";
inline constexpr std::string_view defaultFaceUtf8 = "新細明體";
inline constexpr std::string_view settingsFileName = "Pagora.ini";
} // namespace texts

} // namespace pagora
