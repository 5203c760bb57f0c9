#pragma once

// Control, command and resource identifiers. The numbers are part of the program's
// identity (routing keys, menu items) and stay as they were first assigned.

// The about box's entry of the system menu.
constexpr int IDM_ABOUTBOX = 0x0010;

// Controls of IDD_MAIN
constexpr int IDC_GRID = 1009;
constexpr int IDC_TC_DISPLAY = 1010;
constexpr int IDC_IN = 1017;
constexpr int IDC_OUT = 1018;
constexpr int IDC_VITC_LABEL = 1020;
constexpr int IDC_INS = 1021;
constexpr int IDC_DEL = 1022;
constexpr int IDC_ENTER = 1023;
constexpr int IDC_CELL_EDIT = 1024;
constexpr int IDC_FRAMECHECK_LABEL = 1025;
constexpr int IDC_BTN_PLUS = 1026;
constexpr int IDC_BTN_SQUARE = 1027;
constexpr int IDC_BTN_MINUS = 1028;

// Menu commands of IDR_MAINMENU
constexpr int ID_FILE_OPEN = 32771;
constexpr int ID_FILE_SAVEAS = 32772;
constexpr int ID_FILE_SAVE = 32773;
constexpr int ID_FILE_EXIT = 32774;
constexpr int ID_FRAMECHECK_3_NONDROP = 32777;
constexpr int ID_FRAMECHECK_4_NONDROP = 32778;
constexpr int ID_FILE_PRINT = 32779;
constexpr int ID_COM1 = 32780;
constexpr int ID_COM2 = 32781;
constexpr int ID_COM3 = 32782;
constexpr int ID_COM4 = 32783;
constexpr int ID_COM5 = 32784;
constexpr int ID_HELP_ABOUT = 32787;
constexpr int ID_HELP_CONTENTS = 32788;
constexpr int ID_FRAMECHECK_3_DROP = 32791;
constexpr int ID_FRAMECHECK_4_DROP = 32792;

// Commands of the grid's context menu
constexpr int ID_EDIT_UNDO = 32795;
constexpr int ID_EDIT_REDO = 32796;

// Commands of keys alone
constexpr int ID_LIST_ENTER_KEY = 32799;  // Enter: counts as a change, then edits
constexpr int ID_LIST_REMARK_KEY = 32800; // R: edit the spot's remark
constexpr int ID_LIST_MENU_KEY = 32801;   // context-menu key, Shift+F10: the list's menu

// The list's frame rate, in the context menu's submenu
constexpr int ID_FRAMERATE_24 = 32802;
constexpr int ID_FRAMERATE_25 = 32803;
constexpr int ID_FRAMERATE_30 = 32804;

// More commands of the grid's context menu: lists that come in
constexpr int ID_FILE_IMPORT = 32811;
// The list's context menu: a new, empty list
constexpr int ID_FILE_NEW = 32820;

// The context menu's exports (32797, 32798, then 32805 to 32810) are numbered in their own
// table, formats/interchange_formats.cpp.
// The communication menu's sources (32793, 32794, then 32812 and up) are numbered in their
// own table, sources/source_table.cpp.

// The list's transport submenu: moving the picture's source from the list
constexpr int ID_TRANSPORT_PLAY = 32830;         // L
constexpr int ID_TRANSPORT_REVERSE = 32831;      // J
constexpr int ID_TRANSPORT_STILL = 32832;        // K
constexpr int ID_TRANSPORT_PLAY_STILL = 32833;   // Space
constexpr int ID_TRANSPORT_STEP_FORWARD = 32834; // K+L
constexpr int ID_TRANSPORT_STEP_BACK = 32835;    // K+J
constexpr int ID_TRANSPORT_FF = 32836;           // Shift+L
constexpr int ID_TRANSPORT_REWIND = 32837;       // Shift+J
constexpr int ID_TRANSPORT_STOP = 32838;         // Shift+K
constexpr int ID_TRANSPORT_CUE = 32839;          // G
constexpr int ID_TRANSPORT_CUE_PLAY = 32840;     // Shift+G
constexpr int ID_TRANSPORT_STANDBY = 32841;
constexpr int ID_TRANSPORT_EJECT = 32842;
// The context menu's language switch.
constexpr int ID_SWITCH_LANGUAGE = 32843;
