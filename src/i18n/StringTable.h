#pragma once

#include <QString>

namespace i18n {

// Language codes; a localised text's id is the language code plus its offset (1..52).
inline constexpr int LangNone = 0;
inline constexpr int LangEnglish = 100;
inline constexpr int LangHebrew = 200;

// The text of string id 101..152 (English) or 201..252 (Hebrew), or of the address-book
// commands' 160..193 and 260..293; empty for any other id.
QString LoadResString(int id);
inline QString text(int lang, int offset) {
    return LoadResString(lang + offset);
}

// Offsets of the table, by what they caption.
namespace off {
inline constexpr int btnAdd = 1, btnEdit = 2, btnSearch = 3, btnDial = 4, btnMail = 5, btnAll = 6,
                     btnDelete = 7, btnQuit = 8;
inline constexpr int headName = 9, headHome = 10, headMobil = 11, headWork = 12, headFax = 13,
                     headEmail = 14, headAddress = 15, headDept = 16;
inline constexpr int mnuFile = 17, mnuAdd = 18, mnuEdit = 19, mnuDel = 20, mnuPrint = 21,
                     mnuExit = 22, mnuOption = 23, mnuImportDB = 24, mnuExportDB = 25,
                     mnuDialingNum = 26, mnuSendMail = 27, mnuEnableLiveUpdate = 28,
                     mnuCheckVersionUpdate = 29, mnuView = 30, mnuAll = 31, mnuSearch = 32,
                     mnuDbg = 33, mnuHelp = 34, mnuAbout = 35, mPopRestore = 36, mpopSearch = 37,
                     mPopExit = 38, mnuSetLang = 39, mnuLangHebrew = 40, mnuLangEnglish = 41;
inline constexpr int totalRecords = 42;
inline constexpr int tipAdd = 43; // tooltips of the eight buttons: 43..50
inline constexpr int groupPersonal = 51, groupWork = 52;
// Address-book import and export: offsets 60..95 (ids 160..195, 260..295), apart from the
// historic table.
inline constexpr int mnuImportContacts = 60, mnuExportContacts = 61, importTitle = 62,
                     importHeadLine = 63, importHeadName = 64, importHeadOutcome = 65,
                     importHeadDetails = 66, importNew = 67, importDuplicate = 68,
                     importNotKept = 69, importRefused = 70, importRegion = 71;
// The import's progress, its end and the preview's hint under the home region.
inline constexpr int importProgress = 72, importCancelled = 73, importSummary = 74,
                     importNoCards = 75, importUnreadable = 76, importRegionHint = 77;
// Why a line, a card or a number is not imported (%1 a line, or a field and %2 its width).
inline constexpr int reasonLineUnreadable = 78, reasonNoEnd = 79, reasonQuoteOpen = 80,
                     reasonOutsideCard = 81, reasonNoNameColumn = 82, reasonNameEmpty = 83,
                     reasonNoNumber = 84, reasonTextTooLong = 85, reasonNumberTooLong = 86,
                     reasonAnotherHome = 87, reasonAnotherMobile = 88, reasonAnotherWork = 89,
                     reasonAnotherFax = 90, reasonFitsNoField = 91, reasonNoFieldEmpty = 92,
                     reasonLetters = 93;
// Why a phone book file gives no card.
inline constexpr int reasonNotPhoneBook = 94, reasonBookDamaged = 95;
} // namespace off

} // namespace i18n
