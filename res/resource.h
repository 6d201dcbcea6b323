#pragma once

// Every numeric id of the program's commands, controls, strings, icons, bitmaps, menus and
// dialogs. Menu items, buttons, accelerators and prompt strings share a command's id.

// Frame resources: menu, accelerator table and icon of the main window; menus and pictures
inline constexpr int IDR_MAINFRAME = 128;
inline constexpr int IDR_MENUBAR = 165;
inline constexpr int IDR_JOBLIST_POPUP = 137;
inline constexpr int IDB_TIP_PICTURE = 102;
inline constexpr int IDB_SPLASH = 136;
inline constexpr int IDB_ABOUT_BANNER = 166;
inline constexpr int IDC_DIVIDER_CURSOR = 130;

// Dialogs
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_TIP = 103;
inline constexpr int IDD_CONVERT_PANEL = 131;

// Job pane button icons
inline constexpr int IDI_OPEN_FILE = 155;
inline constexpr int IDI_IMPORT_DIRECTORY = 156;
inline constexpr int IDI_REMOVE_SELECTED = 157;
inline constexpr int IDI_CLEAR_ALL_SELECTED = 158;
inline constexpr int IDI_STOP_CONVERT = 161;
inline constexpr int IDI_START_CONVERT = 162;

// Strings (a command's prompt string has the command's id)
inline constexpr int IDS_TIP_OF_THE_DAY_PROMPT = 104;
inline constexpr int IDS_TIP_OF_THE_DAY_MENU = 105;
inline constexpr int IDS_DID_YOU_KNOW = 106;
inline constexpr int IDS_TIP_FILE_ABSENT = 107;
inline constexpr int IDS_TIP_FILE_CORRUPT = 108;
inline constexpr int AFX_IDS_APP_TITLE = 57344;
inline constexpr int AFX_IDS_IDLEMESSAGE = 57345;

// Commands
inline constexpr int ID_APP_TIP_OF_THE_DAY = 104;
inline constexpr int ID_OPEN_FILE = 32770;
inline constexpr int ID_IMPORT_DIRECTORY = 32771;
inline constexpr int ID_OPEN_FILE_DIRECTORY = 32773;
inline constexpr int ID_OPEN_WITH_ASSOCIATED_APP = 32774;
inline constexpr int ID_REMOVE_ALL = 32775;
inline constexpr int ID_REMOVE_SELECTED = 32776;
inline constexpr int ID_SELECT_CURRENT_ITEM = 32777;
inline constexpr int ID_CLEAR_ALL_SELECTED = 32778;
inline constexpr int ID_INVERT_SELECT = 32779;
inline constexpr int ID_START_CONVERT = 32781;
inline constexpr int ID_STOP_CONVERT = 32782;
inline constexpr int ID_RESET_ALL_OPTIONS = 32783;
inline constexpr int ID_ONLINE_HELP = 32861;
inline constexpr int ID_TIP_OF_THE_DAY = 32862;
inline constexpr int ID_TELL_FRIEND_BY_MAIL = 32865;
inline constexpr int ID_CHECK_NEW_VERSION = 32866;
inline constexpr int ID_VISIT_HOME_PAGE = 32867;
inline constexpr int ID_EDIT_COPY = 57634;
inline constexpr int ID_EDIT_CUT = 57635;
inline constexpr int ID_EDIT_PASTE = 57637;
inline constexpr int ID_EDIT_SELECT_ALL = 57642;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;

// Summary pane context menu
inline constexpr int ID_SUMMARY_COPY = 1103;
inline constexpr int ID_SUMMARY_SELECT_ALL = 1106;

// Frame children
inline constexpr int AFX_IDW_TOOLBAR = 59392;
inline constexpr int AFX_IDW_PANE_FIRST = 59648;

// Dialog buttons
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// Job pane controls
inline constexpr int IDC_SUMMARY = 1004;
inline constexpr int IDC_PROGRESS_CURRENT = 1006;
inline constexpr int IDC_PROGRESS_TOTAL = 1007;
inline constexpr int IDC_LABEL_CURRENT = 1008;
inline constexpr int IDC_LABEL_TOTAL = 1009;
inline constexpr int IDC_JOB_GRID = 1021;

// About box controls
inline constexpr int IDC_ABOUT_PRODUCT = 1008;
inline constexpr int IDC_ABOUT_NOTICE = 1009;
inline constexpr int IDC_ABOUT_WEBSITE_LABEL = 1014;
inline constexpr int IDC_ABOUT_WEBSITE_LINK = 1015;
inline constexpr int IDC_ABOUT_SUPPORT_LABEL = 1016;
inline constexpr int IDC_ABOUT_SUPPORT_LINK = 1017;

// Tip of the Day controls
inline constexpr int IDC_TIP_PICTURE = 1200;
inline constexpr int IDC_TIP_STARTUP = 1201;
inline constexpr int IDC_TIP_NEXT = 1202;
inline constexpr int IDC_TIP_TEXT = 1203;

// Option tree and its in-place controls
inline constexpr int IDC_OPTION_TREE = 101;
inline constexpr int IDC_OPTION_TREE_LIST = 30000;
inline constexpr int IDC_OPTION_TREE_INFO = 0xFFFF;
inline constexpr int IDC_SPINNER_EDIT = 1000;

// Grid in-place editor
inline constexpr int IDC_GRID_INPLACE_EDIT = 8;

// File and folder dialogs: our path field and the standard file dialog's controls
inline constexpr int IDC_FOLDER_PATH_EDIT = 102;
inline constexpr int IDC_FILEDLG_READONLY_CHECK = 1040;
inline constexpr int IDC_FILEDLG_TYPE_LABEL = 1089;
inline constexpr int IDC_FILEDLG_NAME_LABEL = 1090;
inline constexpr int IDC_FILEDLG_FILE_LIST = 1120;
inline constexpr int IDC_FILEDLG_TYPE_COMBO = 1136;
inline constexpr int IDC_FILEDLG_NAME_EDIT = 1152;

// Timers
inline constexpr int IDT_SPLASH = 1;
inline constexpr int IDT_GRID_AUTOSCROLL = 513;
inline constexpr int IDT_SPINNER_REPEAT = 1000;
