// Resource IDs. Written by hand; the numbers are fixed: settings, tests and translations refer to them.
// Control IDs repeat between dialogs on purpose (1013 is the toolbar's place in the main dialog and
// a button of the More page); within one dialog each ID is used once.
#pragma once

// Strings
#define IDS_PRODUCT_NAME 103
#define IDS_PRODUCT_CLASS 109  // the value name of the autostart entry

// Icons
#define IDI_HUEPEEK 107
#define IDI_PIXEL 108

// Banner bitmaps (700 x 60)
#define IDB_BANNER_DARK 132
#define IDB_BANNER_LIGHT 157

// Dialogs: the main dialog and its four pages
#define IDD_MAIN 148
#define IDD_PAGE_INFO 158    // page 1
#define IDD_PAGE_BLANK 129   // page 2
#define IDD_PAGE_PICKER 159  // page 0
#define IDD_PAGE_MORE 170    // page 3

// Main dialog
#define IDC_PAGE_FRAME 32787    // group box round the page area; its caption is the page's title
#define IDC_TOOLBAR_PLACE 1013  // placeholder static; the toolbar takes its place
#define IDC_LINE_TOP 4030
#define IDC_LINE_BOTTOM 4031
#define IDC_HIDDEN_ESC 7777  // no command
#define IDC_BANNER 1040
#define IDC_LICENCE 7778  // hidden: opens the licence page
#define IDC_DONATE 7779   // hidden, and the toolbar's donation button
#define IDC_TAB_PICKER 1083
#define IDC_TAB_BLANK 1087  // hidden
#define IDC_EXIT 1045
#define IDC_TAB_INFO 1088
#define IDC_TAB_MORE 1089
#define IDC_TO_TRAY 1046
#define IDC_AUTOSTART 1014   // "Start with Windows"
#define IDC_START_TRAY 1010  // "Always start minimized"

// Toolbar commands (the first button is IDC_TOOLBAR_PLACE's ID, the donation button IDC_DONATE's)
#define IDC_THANKS 1013
#define IDC_LANGUAGE 2022
#define IDC_FAQ 32791

// Page 0, the picker page
#define IDC_PICK 1105
#define IDC_USAGE 1000
#define IDC_PICKER_HIDDEN_1 2031
#define IDC_PICKER_HIDDEN_2 2032
#define IDC_PICKER_HIDDEN_3 1041
#define IDC_PICKER_HIDDEN_4 1042
#define IDC_HOTKEY_LABEL 1110  // "Hot key:"
#define IDC_HOTKEY 1111        // the system's hot-key field
#define IDC_HOTKEY_WIN 1112    // "Win": the field cannot take the Windows key
#define IDC_HOTKEY_NOTE 1113   // shown while another program holds the combination

// Page 1, the Info page
#define IDC_INFO_SITE 1070  // the language-rule site address
#define IDC_INFO_AUTHOR 1071
#define IDC_INFO_VERSION 1072
#define IDC_INFO_NOTICE 1044

// Page 2, the blank page
#define IDC_BLANK_TEXT 1000

// Page 3, the More page
#define IDC_RECOMMEND 2031
#define IDC_SEND 1017
#define IDC_MORE_FREEWARE 1013
#define IDC_UNINSTALL 1014
