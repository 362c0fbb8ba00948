/* Identifiers shared by tarnwick.rc and the program. Read by the resource
   compiler and by portable code that must not see <windows.h>, so this header
   includes nothing and holds plain numbers only. */
#ifndef TARNWICK_RESOURCE_H
#define TARNWICK_RESOURCE_H

/* Dialog templates */
#define IDD_ABOUT                   100
#define IDD_MAIN                    102

/* Controls of IDD_MAIN */
#define IDC_STATIC                  (-1)
#define IDC_SPEED                   1002
#define IDC_HOTKEY                  1003
#define IDC_MODIFY                  1004
#define IDC_MANUAL                  1005
#define IDC_RUN_AT_STARTUP          1006
#define IDC_MINIMIZE_AT_STARTUP     1008
#define IDC_MINIMIZE                1009
#define IDC_EXIT                    1010
#define IDC_DONATE                  1011

/* Icon groups: the tray shows IDI_INACTIVE while emulation is off, and
   IDI_HOLDING while the extended keypad holds the left button down */
#define IDI_ACTIVE                  128
#define IDI_INACTIVE                131
#define IDI_HOLDING                 132

/* Tray menu and its one command */
#define IDR_TRAY_MENU               130
#define ID_TRAY_EXIT                32771

/* System-menu entry for the About box; the low four bits of a system
   command belong to the system, so they stay clear */
#define IDS_ABOUTBOX                101
#define IDM_ABOUTBOX                0x0010

/* System-menu check item that switches the extended keypad */
#define IDS_EXTENDED_KEYPAD         103
#define IDM_EXTENDED_KEYPAD         0x0020

/* System-menu check item that switches the letter keypad */
#define IDS_LETTER_KEYPAD           104
#define IDM_LETTER_KEYPAD           0x0030

/* Tray callback message, WM_USER+5 */
#define WM_TRAY_NOTIFY              1029

/* Hotkey identifiers */
#define HOTKEY_START_STOP           1001
#define HOTKEY_LEFT_CLICK           1101
#define HOTKEY_MIDDLE_CLICK         1102
#define HOTKEY_RIGHT_CLICK          1103
#define HOTKEY_MOVE_LEFT            1104
#define HOTKEY_MOVE_DOWN            1105
#define HOTKEY_MOVE_RIGHT           1106
#define HOTKEY_MOVE_UP              1108

/* The extended keypad's keys, registered only while it is switched on */
#define HOTKEY_WHEEL_UP             1201
#define HOTKEY_WHEEL_DOWN           1202
#define HOTKEY_BUTTON_HOLD          1203
#define HOTKEY_BUTTON_RELEASE       1204
#define HOTKEY_DOUBLE_CLICK         1205
#define HOTKEY_FAST_LEFT            1211
#define HOTKEY_FAST_DOWN            1212
#define HOTKEY_FAST_RIGHT           1213
#define HOTKEY_FAST_UP              1214
#define HOTKEY_GRID                 1221

/* The keypad grid's own keys, registered only while the grid is open */
#define HOTKEY_GRID_CLICK           1222
#define HOTKEY_GRID_BACK            1223
#define HOTKEY_GRID_CANCEL          1224

/* Keypad 5 while NumLock is off, registered while emulation is on */
#define HOTKEY_NUMLOCK_OFF          1231

/* The letter keypad's keys, registered only while it is switched on and
   emulation is on: the keypad's seven, Esc, the extended keypad's and the
   keypad grid's, in that order */
#define HOTKEY_LETTER_LEFT_CLICK    1301
#define HOTKEY_LETTER_MIDDLE_CLICK  1302
#define HOTKEY_LETTER_RIGHT_CLICK   1303
#define HOTKEY_LETTER_MOVE_LEFT     1304
#define HOTKEY_LETTER_MOVE_DOWN     1305
#define HOTKEY_LETTER_MOVE_RIGHT    1306
#define HOTKEY_LETTER_MOVE_UP       1308
#define HOTKEY_LETTER_STOP          1309
#define HOTKEY_LETTER_WHEEL_UP      1311
#define HOTKEY_LETTER_WHEEL_DOWN    1312
#define HOTKEY_LETTER_BUTTON_HOLD   1313
#define HOTKEY_LETTER_BUTTON_RELEASE 1314
#define HOTKEY_LETTER_DOUBLE_CLICK  1315
#define HOTKEY_LETTER_FAST_LEFT     1316
#define HOTKEY_LETTER_FAST_DOWN     1317
#define HOTKEY_LETTER_FAST_RIGHT    1318
#define HOTKEY_LETTER_FAST_UP       1319
#define HOTKEY_LETTER_GRID          1320
#define HOTKEY_LETTER_GRID_CLICK    1322
#define HOTKEY_LETTER_GRID_BACK     1323

#endif
