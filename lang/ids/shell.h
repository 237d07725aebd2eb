// Ids of the main window: its menus, toolbars, commands, status bar,
// preferences, about box and splash, and the texts they show.
// Included by the program's code and read by the resource compiler: only
// "#define NAME number" lines here (see lang/README.md).
#pragma once

// The document template: menu 128, toolbar 128, icon 128 and the
// document's description string (title and version first).
#define IDR_MAINFRAME 128
#define IDS_DOC_TEMPLATE 128  // the document description (controls.rcs)
#define IDI_MAINFRAME 128
// The bead-effect pop-up menu, the toolbar of menu commands without a
// button and the bead-effect toolbar (images of the pop-up).
#define IDR_EFFECT_MENU 148
#define IDR_MENU_ICONS 163
#define IDR_EFFECT_ICONS 164

// Commands of the main menu, the toolbar and the bead-effect pop-up.
#define ID_FILE_NEW_DESIGN 32000
#define ID_FILE_OPEN_DESIGN 32001
#define ID_FILE_SAVE_DESIGN 32002
#define ID_FILE_SAVE_DESIGN_AS 32003
#define ID_EFFECT_ROUND 32004
#define ID_EFFECT_CIRCLE 32005
#define ID_EFFECT_CYLINDER 32006
#define ID_EFFECT_ROUND_RECT 32007
#define ID_FILE_EXPORT_PDF 32008
#define ID_FILE_EXPORT_PICTURE 32009
#define ID_FILE_PROPERTIES 32010
#define ID_DESIGN_SUMMARY 32011
#define ID_EDIT_COLOR_GROUP 32012
#define ID_EDIT_TEXT_BY_BEADS 32013
#define ID_EDIT_USE_ONLY_COLORS 32014
#define ID_EDIT_DESIGN_BY_SAMPLE 32015
#define ID_EDIT_MIRROR 32016
#define ID_VIEW_SEPARATE_PREVIEW 32017
#define ID_VIEW_RULER_BAR 32018
#define ID_VIEW_SHOW_GRID 32019
#define ID_OPTIONS_PREFERENCES 32020
#define ID_OPTIONS_BACKGROUND 32021
#define ID_EDIT_ROWS_COLUMNS 32022
#define ID_EDIT_ADJUST_COLORS 32023
#define ID_VIEW_INTERESTING_COLORS 32024
#define ID_EDIT_REMOVE_SEPARATE 32025
#define ID_HELP_OTHER_PRODUCT 32026
#define ID_HELP_DOWNLOAD_DESIGN 32027
#define ID_HELP_CHECK_UPDATE 32028
#define ID_FILE_COPY_TO_CLIPBOARD 32029
#define ID_EDIT_CHANGE_PALETTE 32030
#define ID_HELP_DESCRIPTION 32032
#define ID_EDIT_PARTIAL_DESIGN 32034
#define ID_FILE_IMPORT 32035
#define ID_FILE_PRINT_DESIGN 57607
#define ID_EDIT_UNDO_STEP 57643
#define ID_EDIT_REDO_STEP 57644
#define ID_HELP_ABOUT 57664
#define ID_FILE_EXIT 57665
#define ID_VIEW_TOOLBAR_BAR 59392
#define ID_VIEW_STATUS_BAR_BAR 59393
// The toolbar's zoom box and bead-effect button.
#define IDC_ZOOM_COMBO 168
#define ID_BEAD_EFFECT 169
// Recent designs of the drop-down list: 20000 + index.
#define ID_RECENT_DESIGN_FIRST 20000
#define ID_RECENT_DESIGN_LAST 20016
// The status bar's context menu.
#define ID_STATUS_BEAD_COLOR 20
#define ID_STATUS_DESIGN_INFO 21
#define ID_STATUS_PALETTE_INFO 22
// The status bar's two information panes.
#define ID_INDICATOR_DESIGN 59137
#define ID_INDICATOR_PALETTE 59138

// Icons of the toolbar (24 x 24), the bead effects, the preference pages,
// the shortcut tree and the ruler corner button.
#define IDI_TB_NEW 486  // the wizard icon (wizard.rcs)
#define IDI_TB_OPEN 468
#define IDI_TB_SAVE 469
#define IDI_TB_PDF 519
#define IDI_TB_PICTURE 520
#define IDI_TB_PROPERTIES 521
#define IDI_TB_SUMMARY 530
#define IDI_TB_UNDO 526
#define IDI_TB_REDO 527
#define IDI_TB_PARTIAL 553
#define IDI_TB_ADJUST 539
#define IDI_TB_COLOR_GROUP 524
#define IDI_TB_TEXT 525
#define IDI_TB_USE_ONLY 496  // the palette-file icon (shared.rcs)
#define IDI_TB_REMOVE_SEPARATE 549
#define IDI_TB_PREVIEW 529
#define IDI_TB_INTERESTING 544
#define IDI_EFFECT_ROUND 545
#define IDI_EFFECT_CIRCLE 546
#define IDI_EFFECT_CYLINDER 547
#define IDI_EFFECT_ROUND_RECT 548
#define IDI_TB_UPDATE 555
#define IDI_TB_DOWNLOAD 556
#define IDI_TB_OTHER_PRODUCT 557
#define IDI_PAGE_STARTUP 531
#define IDI_PAGE_SHORTCUTS 532
#define IDI_SHORTCUT_ROOT 533
#define IDI_PAGE_MEMORY 534
#define IDI_PAGE_RULER 542
#define IDI_PAGE_STATUSBAR 536
#define IDI_PAGE_BEAD_SIZES 467
#define IDI_PAGE_MISC 537
#define IDI_RULER_ADJUST 550  // (controls.rcs)
// The strip of small pictures: information boxes, weave formats, mirror.
#define IDB_SMALL_PICTURES 147
// The hand cursor of the about box's links.
#define IDC_HAND_CURSOR 500
// The about picture (raw data).
#define IDR_ABOUT_PICTURE 20

// Dialog templates.
#define IDD_SPLASH 99
#define IDD_ABOUT 100
#define IDD_PREF_MEMORY 130
#define IDD_PREF_STARTUP 133
#define IDD_RECENT_DESIGNS 137
#define IDD_PREFERENCES 172
#define IDD_PREF_SHORTCUTS 173
#define IDD_PREF_STATUSBAR 175
#define IDD_PREF_PDF_PAGE 183
#define IDD_PREF_MISC 185
#define IDD_PREF_RULER 423

// Controls of the templates.
#define IDC_PREF_SLIDER 1000
#define IDC_PREF_PERCENT 1001
#define IDC_PREF_KILOBYTES 1002
#define IDC_PREF_TEXT1 1003
#define IDC_PREF_TEXT2 1004
#define IDC_PREF_MAX_BEADS 1006
#define IDC_PREF_QUALITY 1007
#define IDC_PREF_RELOAD 1016
#define IDC_PREF_RECENT_COUNT 1017
#define IDC_PREF_RECENT_SPIN 1018
#define IDC_PREF_LIST 1019
#define IDC_PREF_UNITS 1054
#define IDC_PREF_FORMAT 1056
#define IDC_PREF_PAGE_WIDTH 1190
#define IDC_PREF_PAGE_HEIGHT 1191
#define IDC_PREF_APPLY 1207
#define IDC_KEYS_TABS 1208
#define IDC_KEYS_HEADER 1209
#define IDC_KEYS_TREE 1210
#define IDC_KEYS_HOTKEY 1211
#define IDC_KEYS_TEXT2 1212
#define IDC_KEYS_TEXT3 1213
#define IDC_PREF_PATTERN_INFO 1215
#define IDC_PREF_PALETTE_INFO 1216
#define IDC_PREF_BEAD_COLOR 1218
#define IDC_PREF_BY_DEFAULT 1223
#define IDC_PREF_ZOOM_TEXT 1224
#define IDC_PREF_ZOOM 1225
#define IDC_GRID_SIZE 1226
#define IDC_GRID_COLOR 1227
#define IDC_WARNING_SOUND 1228
#define IDC_GRID_SCREEN_WIDTH 1289
#define IDC_GRID_SCREEN_SPIN 1290
#define IDC_GRID_PDF_WIDTH 1291
#define IDC_GRID_PDF_SPIN 1292
#define IDC_RULER_BEADS 1252
#define IDC_RULER_INCHES 1253
#define IDC_RULER_CM 1254
#define IDC_RULER_MM 1255

// Texts.
#define IDS_FILE_NOT_EXISTS 59475
#define IDS_SAVE_PROMPT 174
#define IDS_RECENT_DESIGN_MISSING 171
#define IDS_UNTITLED 177
#define IDS_VERSION_CHECK 178
#define IDS_UPGRADE_ON 180
#define IDS_PDF_EXPORT_ERROR 190
#define IDS_PDF_EXPORT_FAILED 193
#define IDS_COPIED_TO_CLIPBOARD 195
#define IDS_PALETTE_NOT_LOADED 200
#define IDS_ORIGINAL_NOT_LOADED 216
#define IDS_ORIGINAL_INFO 217
#define IDS_DESIGN_REAL_SIZE 218
#define IDS_PALETTE_INFO 219
#define IDS_ZOOM_FIT 226
#define IDS_KEYS_COMMAND 287
#define IDS_KEYS_HOT_KEY 288
#define IDS_KEYS_TAKEN 289
#define IDS_WRONG_GRID_SIZE 299
#define IDS_DESIGN_FOLDER_FAILED 300
#define IDS_PAGE_STARTUP 373
#define IDS_PAGE_SHORTCUTS 374
#define IDS_PAGE_MEMORY 375
#define IDS_PAGE_STATUSBAR 376
#define IDS_PAGE_BEAD_SIZES 377
#define IDS_PAGE_PDF 378
#define IDS_PAGE_MISC 379
#define IDS_PREF_CATEGORY 380
#define IDS_PREF_CAPTION 381
#define IDS_WRONG_MEMORY 396
#define IDS_WRONG_MAX_BEADS 397
#define IDS_PAGE_RULER 431
#define IDS_WRONG_PAGE_WIDTH 495
#define IDS_WRONG_PAGE_HEIGHT 497
#define IDS_INSTALL_WORD 499
#define IDS_UNIT_INCH 59423
#define IDS_UNIT_CM 59424
#define IDS_UNIT_MM 59425
#define IDS_ABOUT 59429
#define IDS_STATUS_BEAD_COLOR 59472
#define IDS_STATUS_DESIGN_INFO 59473
#define IDS_STATUS_PALETTE_INFO 59474
#define IDS_IDLE_MESSAGE 57345
// Texts of this program's own.
#define IDS_WRONG_ZOOM 2101
#define IDS_ZOOM_BOX 2102
