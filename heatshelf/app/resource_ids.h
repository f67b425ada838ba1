// The browser's resource and command ids.
#pragma once

namespace heatshelf::res {

inline constexpr int IDR_MAINFRAME = 128;      // menu, toolbar, icon, caption string
inline constexpr int IDS_TEMPERATURE_UNIT = 129; // the scale's unit
inline constexpr int IDB_CATEGORIES = 136;     // the category list's icons
inline constexpr int IDR_IMAGE_MENU = 139;     // the image view's context menu
inline constexpr int IDR_THEME_BAR = 149;      // images of the theme items
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_FOLDER_FORM = 130;
inline constexpr int IDD_RENAME = 138;
inline constexpr int IDC_NEW_NAME = 1051;
inline constexpr int IDC_SHELL_TREE = 190;

// Image view commands.
inline constexpr int ID_THUMBNAILS = 1004;
inline constexpr int ID_PREVIOUS = 1005;
inline constexpr int ID_SINGLE = 1006;
inline constexpr int ID_NEXT = 1007;
inline constexpr int ID_UNUSED_1008 = 1008;
inline constexpr int ID_SHOW_AGAIN = 1009;
inline constexpr int ID_INVERT = 1010;
inline constexpr int ID_PLAY_SOUND = 1011;
inline constexpr int ID_MEASURE_OBJECTS = 1012;
inline constexpr int ID_PALETTE_SELECT = 32773;
inline constexpr int ID_RENAME = 32775;
inline constexpr int ID_FOLDER_PANE = 32776;
inline constexpr int ID_THEME_FIRST = 32777;
inline constexpr int ID_THEME_LAST = 32782;
inline constexpr int ID_THEME_MENU = 32783;

inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_PRINT_SETUP = 57606;
inline constexpr int ID_FILE_MRU_FILE1 = 57616; // ... 57619, the recent files
inline constexpr int ID_FILE_MRU_LAST = 57619;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;

inline constexpr int AFX_IDS_APP_TITLE = 57344;
inline constexpr int AFX_IDS_IDLEMESSAGE = 57345;
inline constexpr int AFX_IDS_ALLFILTER = 61446;
inline constexpr int AFX_IDP_FILE_NOT_FOUND = 61699;
inline constexpr int AFX_IDP_FAILED_TO_OPEN_DOC = 61697;
inline constexpr int IDS_INFRARED_FILTER = 1048;
// Why a rename was refused; that there is no sound output.
inline constexpr int IDS_RENAME_INVALID_NAME = 1049;
inline constexpr int IDS_RENAME_NAME_EXISTS = 1050;
inline constexpr int IDS_RENAME_FOLDER_READ_ONLY = 1052;
inline constexpr int IDS_RENAME_SOURCE_GONE = 1053;
inline constexpr int IDS_RENAME_FAILED = 1055;
inline constexpr int IDS_NO_SOUND_OUTPUT = 1056;
inline constexpr int ID_SEPARATOR = 0;
inline constexpr int ID_INDICATOR_CAPS = 0xE701;
inline constexpr int ID_INDICATOR_NUM = 0xE702;
inline constexpr int ID_INDICATOR_SCRL = 0xE703;

inline constexpr int IDW_TOOLBAR = 0xE800;
inline constexpr int IDW_STATUS_BAR = 0xE801;
inline constexpr int IDW_SPLITTER = 0xE900;
inline constexpr int IDW_HSCROLL = 0xEA00;
inline constexpr int IDW_VSCROLL = 0xEA01;

// Strings.
inline constexpr int IDS_PALETTE_FILE_MISSING = 1020;
inline constexpr int IDS_FIRST_LIST_TEXT = 1021;
inline constexpr int IDS_LAST_LIST_TEXT = 1047;

// Messages to the image view (first, previous, next, show again).
inline constexpr int kStepFirst = 0;
inline constexpr int kStepPrevious = 1;
inline constexpr int kStepNext = 2;
inline constexpr int kStepAgain = 3;

} // namespace heatshelf::res
