// Numeric ids of the report designer's commands, controls, strings, menus
// and toolbars: the ids the rest of the program and its override files use.
#pragma once

namespace res {

// Frame, document template and application.
inline constexpr int IDR_MAINFRAME = 1;   // frame menu, standard toolbar, icon, title
inline constexpr int IDR_REPORTTYPE = 2;  // document template string and shared menu
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDP_OLE_INIT_FAILED = 102;

// Commands of the class library.
inline constexpr int ID_FILE_NEW = 57600;
inline constexpr int ID_FILE_OPEN = 57601;
inline constexpr int ID_FILE_CLOSE = 57602;
inline constexpr int ID_FILE_SAVE = 57603;
inline constexpr int ID_FILE_SAVE_AS = 57604;
inline constexpr int ID_FILE_PRINT_SETUP = 57606;
inline constexpr int ID_FILE_PRINT = 57607;
inline constexpr int ID_FILE_PRINT_PREVIEW = 57609;
inline constexpr int ID_FILE_MRU_FILE1 = 57616;
inline constexpr int ID_FILE_MRU_FILE4 = 57619; // the recent files are 57616 ... 57619
inline constexpr int ID_EDIT_CLEAR = 57632;
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_EDIT_SELECT_ALL = 57642;
inline constexpr int ID_EDIT_UNDO = 57643;
inline constexpr int ID_EDIT_REDO = 57644;
inline constexpr int ID_WINDOW_ARRANGE = 57649;
inline constexpr int ID_WINDOW_CASCADE = 57650;
inline constexpr int ID_WINDOW_TILE_HORZ = 57651;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;

// Commands of the report document and view.
inline constexpr int ID_UNDO = 32824;
inline constexpr int ID_REDO = 32825;
inline constexpr int ID_BACKGROUND_COLOR = 32781;
inline constexpr int ID_SUMMARY_INFO = 32792;
inline constexpr int ID_LOCK = 1500;
inline constexpr int ID_SAVE_AS_TEMPLATE = 34036;
inline constexpr int ID_SHOW_NUMBERS = 34049;
inline constexpr int ID_EXPORT_WORD = 32817;
inline constexpr int ID_SELECT_PAGE = 1498;
inline constexpr int ID_GRID = 32769;
inline constexpr int ID_SHOW_OBJECTS = 32784;
inline constexpr int ID_PROPERTIES = 32785;
inline constexpr int ID_FILL_COLOR = 32776;
inline constexpr int ID_LINE_COLOR = 32775;
inline constexpr int ID_LOGO = 32973;
inline constexpr int ID_OLE_INSERT_NEW = 57856;
inline constexpr int ID_OLE_EDIT_LINKS = 57857;
inline constexpr int ID_OLE_VERB_FIRST = 57872;

// Application commands.
inline constexpr int ID_UNITS = 33029;
inline constexpr int ID_BATCH = 34000;

// Control bars: their control ids are also the show/hide commands.
inline constexpr int AFX_IDW_TOOLBAR = 59392;
inline constexpr int AFX_IDW_STATUS_BAR = 59393;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;
inline constexpr int IDW_MEASURE_BAR = 32819;
inline constexpr int IDW_OBJECT_BAR = 32822;
inline constexpr int IDW_ADJUST_BAR = 34006;
inline constexpr int IDW_PAGE_BAR = 210;
inline constexpr int IDW_PLAY_BAR = 34034;
inline constexpr int IDW_FORMAT_BAR = 32837;
inline constexpr int AFX_IDW_PANE_FIRST = 59648; // MDI client
inline constexpr int AFX_IDW_HSCROLL_FIRST = 59904;
inline constexpr int AFX_IDW_VSCROLL_FIRST = 59905;

// Toolbar resources.
inline constexpr int IDR_STANDARD_BAR = 1;
inline constexpr int IDR_MEASURE_BAR = 263;
inline constexpr int IDR_OBJECT_BAR = 176;
inline constexpr int IDR_ADJUST_BAR = 344;
inline constexpr int IDR_PAGE_BAR = 210;
inline constexpr int IDR_PLAY_BAR = 357;
inline constexpr int IDR_FORMAT_BAR = 231;
inline constexpr int IDR_IMAGE_BAR = 327; // images only (menus)
inline constexpr int IDR_IR_BAR = 358;    // images only (menus)
inline constexpr int IDR_TOOL_BAR = 385;  // images only (menus)

// Popup menu resources.
inline constexpr int IDR_LINE_WIDTH_MENU = 323;
inline constexpr int IDR_ARROW_MENU = 324;
inline constexpr int IDR_CONTEXT_MENU = 110; // the view's object menus, by GetPopupMenuIndex

// Toolbar commands with controls in their place.
inline constexpr int ID_PAGE_COMBO = 32962;
inline constexpr int ID_FILE_COMBO = 34019;
inline constexpr int ID_LINE_WIDTH = 32998;
inline constexpr int ID_ARROW = 34024;
inline constexpr int ID_TEXT_COLOR = 114;
inline constexpr int ID_FONT_NAME = 32921;
inline constexpr int ID_FONT_SIZE = 32922;
inline constexpr int ID_FILL_COLOR_BUTTON = 32981;
inline constexpr int ID_LINE_COLOR_BUTTON = 32982;

// Status bar indicators.
inline constexpr int ID_SEPARATOR = 0;
inline constexpr int ID_INDICATOR_LOCKED = 61468;
inline constexpr int ID_INDICATOR_NONE = 61491;
inline constexpr int ID_INDICATOR_CAPS = 59137;
inline constexpr int ID_INDICATOR_NUM = 59138;
inline constexpr int ID_INDICATOR_SCRL = 59139;

// Strings.
inline constexpr int AFX_IDS_APP_TITLE = 57344;
inline constexpr int AFX_IDS_IDLEMESSAGE = 57345;
inline constexpr int AFX_IDS_OPENFILE = 61440;
inline constexpr int IDS_TEMP_C = 61449; // + tempetype
inline constexpr int IDS_TEMP_F = 61450;
inline constexpr int IDS_TEMP_K = 61451;
inline constexpr int IDS_METRE = 61452; // + metertype
inline constexpr int IDS_FEET = 61453;
inline constexpr int IDS_SELECT_TEMPLATE = 61454;
inline constexpr int IDS_SELECT_PICTURE = 61455;
inline constexpr int IDS_PALETTE_FILE_MISSING = 61493;
inline constexpr int IDS_CONFIG_FILE_MISSING = 61494;
inline constexpr int IDS_PALETTE_KEY = 61495;
inline constexpr int IDS_OBJECT_KEY = 61496;
inline constexpr int IDS_PAGE_ENTRY = 34022;

// Dialogs and their controls.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDD_UNITS = 329;
inline constexpr int IDC_TEMP_C = 456;
inline constexpr int IDC_TEMP_F = 457;
inline constexpr int IDC_TEMP_K = 458;
inline constexpr int IDC_METRE = 459;
inline constexpr int IDC_FEET = 460;
inline constexpr int IDC_SAVE_DEFAULT = 470;
inline constexpr int IDD_NEW_PAGE = 338;
inline constexpr int IDC_APPEND_END = 439;
inline constexpr int IDC_INSERT_FRONT = 440;
inline constexpr int IDC_BEFORE_CURRENT = 466;
inline constexpr int IDC_AFTER_CURRENT = 467;
inline constexpr int IDC_CURRENT_PAGE = 468;
inline constexpr int IDC_NEW_PAGE_TITLE = 494;
inline constexpr int IDD_PAGE_TITLE = 356;
inline constexpr int IDC_PAGE_TITLE = 495;
inline constexpr int IDC_ABOUT_ICON = 1001;
inline constexpr int IDC_ABOUT_TITLE = 1002;
inline constexpr int IDC_ABOUT_LINE2 = 1003;
// Batch command: dialogs, controls and messages.
inline constexpr int IDD_BATCH_TYPE = 341;
inline constexpr int IDD_BATCH_SETTING = 342;
inline constexpr int IDD_BATCH_PICTURE = 343;
inline constexpr int IDD_TEMPLATE_PATH = 345;
inline constexpr int IDC_BATCH_SELECT = 189;
inline constexpr int IDC_BATCH_LIST = 208;
inline constexpr int IDC_BATCH_FIRST = 439; // first radio of a dialog's group
inline constexpr int IDC_BATCH_SECOND = 440;
inline constexpr int IDC_PALETTE_PREVIEW = 471;
inline constexpr int IDC_BATCH_FOLDER = 472;
inline constexpr int IDC_BATCH_DELETE = 476;
inline constexpr int IDC_TEMPLATE_PATH = 477;
inline constexpr int IDC_BATCH_SAVE_PATH = 479;
inline constexpr int IDC_BATCH_BACK = 480;
inline constexpr int IDC_BATCH_PALETTE = 481;
inline constexpr int IDC_CHOOSE_TEMPLATE = 482;
inline constexpr int IDS_BATCH_DONE = 61456;
inline constexpr int IDS_CHOOSE_SAVE_PATH = 61498;
inline constexpr int IDS_TEMPLATE_NOT_FOUND = 61535;
inline constexpr int IDS_BATCH_NO_FOLDER = 61710;
inline constexpr int IDS_BATCH_TEMPLATE_UNREADABLE = 61711;
inline constexpr int IDS_BATCH_TEMPLATE_NO_IMAGE = 61712;
inline constexpr int IDS_BATCH_NOT_LOADED = 61713;
inline constexpr int IDS_BATCH_NOT_SAVED = 61714;
inline constexpr int IDS_BATCH_SHARED_NAMES = 61715;
// Texts of a report made by the new-report wizard.
inline constexpr int IDS_WIZARD_PROPERTY_TABLE = 61526;
inline constexpr int IDS_WIZARD_LOCATION = 61537;
inline constexpr int IDS_WIZARD_IR_IMAGE = 61541;
inline constexpr int IDS_WIZARD_VISIBLE = 61542;
inline constexpr int IDS_WIZARD_DIAGNOSIS = 61543;
inline constexpr int IDS_WIZARD_HANDLING = 61544;
inline constexpr int IDS_WIZARD_INSPECTOR = 61545;
inline constexpr int IDS_WIZARD_LINE_CHART = 33902;
inline constexpr int IDS_WIZARD_HISTOGRAM = 61480;
// The template chooser, the report wizard and its end dialog.
inline constexpr int IDD_TEMPLATE_SELECT = 150;
inline constexpr int IDD_REPORT_WIZARD = 363;
inline constexpr int IDD_WIZARD_IR = 364;
inline constexpr int IDD_WIZARD_INFO = 365;
inline constexpr int IDD_WIZARD_TEXT = 1502;
inline constexpr int IDD_WIZARD_TABLE = 1503;
inline constexpr int IDD_WIZARD_OBJECTS = 1505;
inline constexpr int IDD_WIZARD_REPORT_INFO = 1506;
inline constexpr int IDD_WIZARD_IR_LIST = 1507;
inline constexpr int IDB_WIZARD_HEADER = 367;
inline constexpr int IDB_PLACE_PROFILE = 368;
inline constexpr int IDB_PLACE_HISTOGRAM = 369;
inline constexpr int IDB_PLACE_TIME_PROFILE = 370;
inline constexpr int IDB_PLACE_IR = 371;
inline constexpr int IDB_PLACE_PHOTO = 372;
inline constexpr int IDB_PLACE_3D_MAP = 373;
inline constexpr int IDS_EMPTY_REPORT_ENTRY = 61459;
inline constexpr int IDS_NEW_REPORT_ENTRY = 61524;
inline constexpr int IDS_NEW_TEMPLATE_MISSING = 61532;
inline constexpr int IDS_WIZARD_QUIT = 61510;
inline constexpr int IDS_WIZARD_PROMPT_IMAGES = 61511;
inline constexpr int IDS_WIZARD_PROMPT_TEXTS = 61512;
inline constexpr int IDS_WIZARD_PROMPT_TABLES = 61513;
inline constexpr int IDS_WIZARD_IMAGE_ITEM = 61514;
inline constexpr int IDS_WIZARD_BAD_IR_FILE = 61515;
inline constexpr int IDS_WIZARD_PHOTO_ITEM = 61518;
inline constexpr int IDS_WIZARD_NO_PHOTO_OBJECT = 61519;
inline constexpr int IDS_WIZARD_TEXT_CHANGES = 61520;
inline constexpr int IDS_WIZARD_TABLE_CHANGES = 61521;
inline constexpr int IDS_WIZARD_REPORT_TITLE = 61527;
inline constexpr int IDS_WIZARD_ENTER_TITLE = 61528;
inline constexpr int IDS_WIZARD_COMPANY = 61529;
inline constexpr int IDS_WIZARD_ENTER_COMPANY = 61530;
inline constexpr int IDS_WIZARD_REPORT_NAME = 61531;
inline constexpr int IDS_WIZARD_PAGE_TITLE = 61546;
inline constexpr int IDS_WIZARD_CAMERA_MODEL = 33300;
inline constexpr int IDS_REPORT_NAME = 61497;
inline constexpr int IDS_PAGE_IMAGE_FAILED = 61716;
inline constexpr int IDS_TEMPLATE_DAMAGED = 61717;

} // namespace res
